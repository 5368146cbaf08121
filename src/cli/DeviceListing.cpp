#include "cli/DeviceListing.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/RunFrame.h"
#include "devices/DisplayState.h"

namespace tavrin::cli {

namespace {

std::string folded(const std::string& text) {
    std::string out;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// "32768", "32K", "32k", "0x8000" -> bytes; -1 when the text is not a size.
long long parseSize(const std::string& text) {
    if (text.empty()) return -1;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 0);
    if (end == text.c_str()) return -1;
    if (*end == 'K' || *end == 'k')
        value *= 1024, ++end;
    else if (*end == 'M' || *end == 'm')
        value *= 1024 * 1024, ++end;
    return *end == '\0' ? value : -1;
}

std::string sizeText(int32_t size) {
    if (size >= 1024 * 1024 && size % (1024 * 1024) == 0)
        return std::to_string(size / (1024 * 1024)) + "M";
    if (size >= 1024 && size % 1024 == 0) return std::to_string(size / 1024) + "K";
    return std::to_string(size);
}

std::string trimmed(const std::string& text) {
    const size_t a = text.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return text.substr(a, text.find_last_not_of(' ') - a + 1);
}

std::string menuPathText(const DeviceEntry& e) {
    std::string path;
    for (const std::string& part : e.menuPath) path += (path.empty() ? "" : " > ") + trimmed(part);
    return path;
}

// The package the user puts into the socket (or the adapter), by the profile's package code.
std::string packageText(int32_t package) {
    switch (package) {
        case 12:
        case 25:
        case 93:
        case 240:
            return "8-pin DIP";
        case 16:
            return "18-pin DIP";
        case 24:
        case 2716:
        case 2732:
        case 2816:
            return "24-pin DIP";
        case 16877:
            return "in circuit (ICSP lead)";
        case 28:
            return "28-pin DIP";
        case 32:
            return "32-pin DIP";
        case 48:
            return "48-pin TSOP";
        case 51:
            return "40-pin DIP";
        case 2051:
        case 2313:
            return "20-pin DIP";
        default:
            return {};
    }
}

}  // namespace

std::vector<const DeviceEntry*> MatchDevices(const std::string& text) {
    std::vector<const DeviceEntry*> out;
    const std::string needle = folded(text);
    const long long size = parseSize(text);
    for (const DeviceEntry& e : DeviceCatalogue()) {
        const bool match = needle.empty() || folded(e.caption).find(needle) != std::string::npos ||
                           folded(NormalisePartName(e.caption)).find(needle) != std::string::npos ||
                           folded(e.family).find(needle) != std::string::npos ||
                           (size > 0 && e.size == size);
        if (match) out.push_back(&e);
    }
    return out;
}

std::string DevicesTable(const std::vector<const DeviceEntry*>& entries) {
    std::ostringstream out;
    char line[256];
    std::snprintf(line, sizeof line, "%-28s %-22s %4s %5s %7s\n", "DEVICE", "FAMILY", "EEP", "TAG",
                  "SIZE");
    out << line;
    for (const DeviceEntry* e : entries) {
        std::snprintf(line, sizeof line, "%-28s %-22s %4d %5d %7s%s\n", e->caption.c_str(),
                      e->family.c_str(), e->eep, e->tag, sizeText(e->size).c_str(),
                      !e->enabled      ? "  (disabled)"
                      : !e->selectable ? "  (no action)"
                                       : "");
        out << line;
    }
    return out.str();
}

std::string DevicesJson(const std::vector<const DeviceEntry*>& entries) {
    // One entry a line: easy to read, to grep and to parse.
    std::string out = "[\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const DeviceEntry& e = *entries[i];
        nlohmann::ordered_json j = {{"caption", e.caption}, {"part", NormalisePartName(e.caption)},
                                    {"family", e.family},   {"eep", e.eep},
                                    {"tag", e.tag},         {"size", e.size},
                                    {"handler", e.handler}, {"menu", menuPathText(e)},
                                    {"enabled", e.enabled}, {"selectable", e.selectable}};
        out += "  " + j.dump() + (i + 1 < entries.size() ? ",\n" : "\n");
    }
    return out + "]\n";
}

std::string DeviceInfoText(const Context& ctx, const DeviceEntry& entry, bool verbose) {
    const DeviceProfile& p = ctx.profile;
    const DisplayState state = ComputeDisplayState(ctx);
    std::ostringstream out;
    out << "Device:      " << entry.caption << '\n'
        << "Family:      " << entry.family << '\n'
        << "Menu:        " << menuPathText(entry) << '\n'
        << "Size:        " << sizeText(p.bufferSize) << (p.PIC ? " words" : " bytes") << '\n';
    if (const std::string package = packageText(p.package); !package.empty())
        out << "Package:     " << package << '\n';
    if (!state.adapterText.empty()) out << "Adapter:     " << state.adapterText << '\n';
    out << "Address:    " << state.edShiftAdr << '\n'
        << "Board:       " << state.sbTavrinCaption << '\n';
    if (verbose)
        out << "Codes:       eep " << p.eep << ", tag " << p.DeviceID << ", package " << p.package
            << " (" << state.socketPicture << ")"
            << ", DIP pattern " << state.dip << ", first mask" << state.edPatternAdr
            << ", last address" << state.edBuffer << '\n'
            << "Timing:      tWP" << state.edTWP << ", tWC" << state.edTWC << ", addStep "
            << p.addStep << '\n';
    out << '\n' << RenderDipSwitchesText(state);
    return out.str();
}

std::string DeviceInfoJson(const Context& ctx, const DeviceEntry& entry) {
    const DeviceProfile& p = ctx.profile;
    const DisplayState state = ComputeDisplayState(ctx);
    std::string switches;
    for (char c : state.switchDigits) switches += c == '1' ? '1' : c == '0' ? '0' : '-';
    nlohmann::ordered_json j = {{"caption", entry.caption},
                                {"part", NormalisePartName(entry.caption)},
                                {"family", entry.family},
                                {"menu", menuPathText(entry)},
                                {"size", p.bufferSize},
                                {"package", packageText(p.package)},
                                {"adapter", state.adapterText},
                                {"address", trimmed(state.edShiftAdr)},
                                {"board", state.sbTavrinCaption},
                                {"dipPattern", state.dip},
                                {"switches", switches},
                                {"jumper", std::string(1, state.jumperDigit)},
                                {"eep", p.eep},
                                {"tag", p.DeviceID},
                                {"tWP", p.tWP},
                                {"tWC", p.tWC},
                                {"addStep", p.addStep},
                                {"shiftAdr", p.ShiftAdr}};
    return j.dump(2) + "\n";
}

}  // namespace tavrin::cli
