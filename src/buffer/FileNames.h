#pragma once
// File-name pieces the file commands work with. Both '/' and '\' separate folders, so names typed
// the Windows way behave the same.

#include <string>
#include <string_view>

namespace tavrin {

// The caption the main window shows; loaders and savers append the file name.
inline constexpr const char* kCaptionBase = "Tavrin Eprom Prog(0.95B)- ";

// The name without its folder.
std::string BaseName(std::string_view path);
// The folder part including its last separator ("" when the name has none).
std::string FolderOf(std::string_view path);
// The extension from the last '.' of the base name, upper-cased (".HEX"); "" when there is none.
std::string UpperExtension(std::string_view path);
// The name itself when its upper-cased extension is `extension` (given upper-case, ".HEX"),
// otherwise the whole name with `extension` appended: rom.bin -> rom.bin.HEX.
std::string WithExtension(std::string_view path, std::string_view extension);

}  // namespace tavrin
