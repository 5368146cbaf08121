#include "buffer/FileNames.h"

#include <cctype>

namespace tavrin {

namespace {
size_t BaseStart(std::string_view path) {
    const size_t sep = path.find_last_of("/\\");
    return sep == std::string_view::npos ? 0 : sep + 1;
}
}  // namespace

std::string BaseName(std::string_view path) {
    return std::string(path.substr(BaseStart(path)));
}

std::string FolderOf(std::string_view path) {
    return std::string(path.substr(0, BaseStart(path)));
}

std::string UpperExtension(std::string_view path) {
    const std::string_view base = path.substr(BaseStart(path));
    const size_t dot = base.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(base.substr(dot));
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

std::string WithExtension(std::string_view path, std::string_view extension) {
    std::string name(path);
    if (UpperExtension(path) != extension) name.append(extension);
    return name;
}

}  // namespace tavrin
