#pragma once
// 16-bit images kept as two 8-bit files, one per chip of a pair: the even file holds the bytes at
// even addresses (the low bytes of the words, D0-D7), the odd file those at odd addresses.
//
//   LoadInterleaved(ctx, "even.bin", "odd.bin", FileFormat::Auto, error);
//   SaveHalf(ctx, "hi.hex", FileFormat::IntelHex, Half::Odd, SaveNaming::AsGiven);

#include <optional>
#include <string>

#include "buffer/FileCommands.h"
#include "buffer/FileFormat.h"
#include "core/Context.h"

namespace tavrin {

enum class Half { Even, Odd };

// "even" / "odd"; nullopt for anything else.
std::optional<Half> HalfByName(const std::string& name);

// Empty when the selected device's image may be split or interleaved, else why not (PIC and AVR
// images are words of their own layout).
std::string SplitRefusal(const DeviceProfile& p);

// Loads each file with its own loader (as File -> Load would) and merges them: byte i of the even
// file at 2i, of the odd file at 2i + 1; the rest of the buffer is 0xFF and bufferLoaded is the
// merged extent. False with `error` set when a file does not load or the pair does not fit the
// buffer; the buffer then holds 0xFF.
bool LoadInterleaved(Context& ctx, const std::string& evenPath, const std::string& oddPath,
                     FileFormat format, std::string& error);
// The same with a format of each file's own (the window's extension rule).
bool LoadInterleaved(Context& ctx, const std::string& evenPath, FileFormat evenFormat,
                     const std::string& oddPath, FileFormat oddFormat, std::string& error);
// The same with both images already read into bytes (tests, standard input).
void Interleave(Context& ctx, const std::vector<uint8_t>& even, const std::vector<uint8_t>& odd);

// Bytes of one half of the device image (bufferSize bytes): ceil(n/2) even, floor(n/2) odd.
std::vector<uint8_t> HalfOf(const Context& ctx, Half half);

// Saves one half with the saver of `format`, as an image of half the device's size; the buffer and
// the profile are as before afterwards. The name written, or nullopt on failure (reported).
std::optional<std::string> SaveHalf(Context& ctx, const std::string& path, FileFormat format,
                                    Half half, SaveNaming naming);

}  // namespace tavrin
