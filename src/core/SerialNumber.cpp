#include "core/SerialNumber.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "buffer/AtomicFile.h"
#include "devices/DisplayState.h"

namespace tavrin {

namespace {

bool parseNumber(const std::string& text, uint64_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoull(text.c_str(), &end, 0);
    return errno == 0 && end && *end == '\0';
}

bool isHex(SerialNumberPlan::Form f) {
    return f == SerialNumberPlan::Form::HexLittle || f == SerialNumberPlan::Form::HexBig;
}

}  // namespace

bool ParseSerialForm(const std::string& text, SerialNumberPlan::Form& form) {
    using F = SerialNumberPlan::Form;
    if (text == "le") return form = F::BinaryLittle, true;
    if (text == "be") return form = F::BinaryBig, true;
    if (text == "hex-le") return form = F::HexLittle, true;
    if (text == "hex-be") return form = F::HexBig, true;
    return false;
}

bool ParseSerialPlan(const std::string& text, SerialNumberPlan& plan, std::string& error) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ':');) parts.push_back(part);
    if (parts.size() < 2 || parts.size() > 4) {
        error = "is ADDR:BYTES[:START[:STEP]], not '" + text + "'";
        return false;
    }
    uint64_t address = 0, bytes = 0;
    if (!parseNumber(parts[0], address) || address > 0xFFFFFFFFu) {
        error = "'" + parts[0] + "' is no address";
        return false;
    }
    const uint64_t maxBytes = isHex(plan.form) ? 16 : 8;
    if (!parseNumber(parts[1], bytes) || bytes < 1 || bytes > maxBytes ||
        (isHex(plan.form) && bytes % 2 != 0)) {
        error = isHex(plan.form) ? "BYTES of an ASCII-hex number is an even count of 2 to 16"
                                 : "BYTES is 1 to 8";
        return false;
    }
    plan.address = uint32_t(address);
    plan.bytes = int(bytes);
    if (parts.size() > 2 && !parseNumber(parts[2], plan.start)) {
        error = "'" + parts[2] + "' is no start number";
        return false;
    }
    if (parts.size() > 3 && (!parseNumber(parts[3], plan.step) || plan.step == 0)) {
        error = "'" + parts[3] + "' is no step (1 or more)";
        return false;
    }
    return true;
}

std::string SerialBytes(const SerialNumberPlan& plan, uint64_t value) {
    const bool hex = isHex(plan.form);
    const int valueBytes = hex ? plan.bytes / 2 : plan.bytes;
    if (valueBytes < 8 && (value >> (8 * valueBytes)) != 0) return {};
    std::string little;  // value bytes, least significant first
    for (int i = 0; i < valueBytes; ++i) little += char((value >> (8 * i)) & 0xFF);
    const bool big = plan.form == SerialNumberPlan::Form::BinaryBig ||
                     plan.form == SerialNumberPlan::Form::HexBig;
    std::string ordered = big ? std::string(little.rbegin(), little.rend()) : little;
    if (!hex) return ordered;
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (char c : ordered) {
        const auto b = static_cast<uint8_t>(c);
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

bool StampSerial(Context& ctx, const SerialNumberPlan& plan, uint64_t value, std::string& error) {
    const std::string bytes = SerialBytes(plan, value);
    if (bytes.empty()) {
        error = "serial number " + std::to_string(value) + " does not fit " +
                std::to_string(plan.bytes) + " bytes";
        return false;
    }
    DeviceProfile& p = ctx.profile;
    const uint64_t end = uint64_t(plan.address) + bytes.size();
    if (p.bufferSize <= 0 || end > uint64_t(p.bufferSize)) {
        error = "the serial number's bytes lie past the end of the device";
        return false;
    }
    for (size_t i = 0; i < bytes.size(); ++i)
        ctx.Buffer[plan.address + i] = static_cast<uint8_t>(bytes[i]);
    if (p.bufferLoaded < end) p.bufferLoaded = uint32_t(end);
    Winstat(ctx);  // the checksum follows the image
    return true;
}

bool SerialState::next(const SerialNumberPlan& plan, uint64_t& value, std::string& error) const {
    std::ifstream in(path_);
    if (!in) {
        value = plan.start;
        return true;
    }
    std::string line;
    std::getline(in, line);
    if (line.rfind("next=", 0) != 0 || !parseNumber(line.substr(5), value)) {
        error = "'" + path_ + "' is no serial-number state file (one line next=NUMBER)";
        return false;
    }
    return true;
}

bool SerialState::advance(const SerialNumberPlan& plan, uint64_t used, std::string& error) const {
    AtomicFile file;
    const std::string text = "next=" + std::to_string(used + plan.step) + "\n";
    if (!file.open(path_) || !file.write(text) || !file.commit()) {
        error = "cannot write the serial-number state '" + path_ + "'";
        return false;
    }
    return true;
}

}  // namespace tavrin
