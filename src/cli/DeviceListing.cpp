#include "cli/DeviceListing.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
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
    if (*end == 'K' || *end == 'k') value *= 1024, ++end;
    else if (*end == 'M' || *end == 'm') value *= 1024 * 1024, ++end;
    return *end == '\0' ? value : -1;
}

std::string sizeText(int32_t size) {
    if (size >= 1024 * 1024 && size % (1024 * 1024) == 0) return std::to_string(size / (1024 * 1024)) + "M";
    if (size >= 1024 && size % 1024 == 0) return std::to_string(size / 1024) + "K";
    return std::to_string(size);
}

std::string menuPathText(const DeviceEntry& e) {
    std::string path;
    for (const std::string& part : e.menuPath) path += (path.empty() ? "" : " > ") + part;
    return path;
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
    std::snprintf(line, sizeof line, "%-28s %-22s %4s %5s %7s\n", "DEVICE", "FAMILY", "EEP", "TAG", "SIZE");
    out << line;
    for (const DeviceEntry* e : entries) {
        std::snprintf(line, sizeof line, "%-28s %-22s %4d %5d %7s%s\n", e->caption.c_str(),
                      e->family.c_str(), e->eep, e->tag, sizeText(e->size).c_str(),
                      !e->enabled ? "  (disabled)" : !e->selectable ? "  (no action)" : "");
        out << line;
    }
    return out.str();
}

std::string JsonEscape(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string DevicesJson(const std::vector<const DeviceEntry*>& entries) {
    std::ostringstream out;
    out << "[\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const DeviceEntry& e = *entries[i];
        out << "  {\"caption\": \"" << JsonEscape(e.caption) << "\", \"part\": \""
            << JsonEscape(NormalisePartName(e.caption)) << "\", \"family\": \"" << JsonEscape(e.family)
            << "\", \"eep\": " << e.eep << ", \"tag\": " << e.tag << ", \"size\": " << e.size
            << ", \"handler\": \"" << JsonEscape(e.handler) << "\", \"menu\": \""
            << JsonEscape(menuPathText(e)) << "\", \"enabled\": " << (e.enabled ? "true" : "false")
            << ", \"selectable\": " << (e.selectable ? "true" : "false") << "}"
            << (i + 1 < entries.size() ? ",\n" : "\n");
    }
    out << "]\n";
    return out.str();
}

std::string DeviceInfoText(const Context& ctx, const DeviceEntry& entry) {
    const DeviceProfile& p = ctx.profile;
    const DisplayState state = ComputeDisplayState(ctx);
    std::ostringstream out;
    out << "Device:      " << entry.caption << '\n'
        << "Family:      " << entry.family << " (eep " << p.eep << ", tag " << p.DeviceID << ")\n"
        << "Menu:        " << menuPathText(entry) << '\n'
        << "Size:        " << p.bufferSize << " bytes, last address" << state.edBuffer << '\n'
        << "Address:    " << state.edShiftAdr << ", first mask" << state.edPatternAdr << '\n'
        << "Timing:      tWP" << state.edTWP << ", tWC" << state.edTWC << '\n';
    if (!state.adapterText.empty())
        out << "Adapter:     " << state.adapterText << '\n';
    else if (!state.socketPicture.empty())
        out << "Socket:      " << state.socketPicture << '\n';
    out << "Board:       " << state.sbTavrinCaption << " (DIP pattern " << state.dip << ")\n\n"
        << RenderDipSwitchesText(state);
    return out.str();
}

}  // namespace tavrin::cli
