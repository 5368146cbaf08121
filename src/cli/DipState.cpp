#include "cli/DipState.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tavrin::cli {

namespace fs = std::filesystem;

std::string DefaultDipStatePath() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return (fs::path(xdg) / "tavrin" / "dip-switches").string();
    if (const char* home = std::getenv("HOME"); home && *home)
        return (fs::path(home) / ".config" / "tavrin" / "dip-switches").string();
    return "dip-switches";
}

std::string LoadDipState(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line)) return {};
    // A jumper digit 3..5 and twelve switch digits; anything else counts as nothing confirmed.
    if (line.size() != 13 || line[0] < '3' || line[0] > '5') return {};
    for (size_t k = 1; k < line.size(); ++k)
        if (line[k] != '0' && line[k] != '1') return {};
    return line;
}

bool SaveDipState(const std::string& path, const std::string& digits, std::string& error) {
    std::error_code ec;
    const fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    const fs::path temporary = target.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << digits << '\n';
        if (!out.flush()) {
            error = "cannot write the DIP-switch state " + temporary.string();
            return false;
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        error = "cannot write the DIP-switch state " + path + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

}  // namespace tavrin::cli
