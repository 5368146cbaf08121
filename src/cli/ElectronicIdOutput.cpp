#include "cli/ElectronicIdOutput.h"

#include <nlohmann/json.hpp>
#include <ostream>

namespace tavrin::cli {

namespace {

// The panel's texts carry a leading blank; the name of a device not in the table is blank.
std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

nlohmann::ordered_json ElectronicIdJson(const ElectronicIdView& id) {
    nlohmann::ordered_json j;
    j["manufacturer"] = trimmed(id.manufacturerName);
    j["manufacturerCode"] = trimmed(id.manufacturerCode);
    j["device"] = trimmed(id.deviceName);
    j["deviceCode"] = trimmed(id.deviceCode);
    if (id.showLock) {
        j["lockBits"] = trimmed(id.lockBit);
        j["lockMode"] = trimmed(id.lockMode);
    }
    return j;
}

void PrintElectronicId(const ElectronicIdView& id, bool json, std::ostream& out) {
    if (json) {
        out << ElectronicIdJson(id).dump() << '\n';
        return;
    }
    out << "manufacturer: " << trimmed(id.manufacturerName) << '\n'
        << "manufacturer code: " << trimmed(id.manufacturerCode) << '\n'
        << "device: " << trimmed(id.deviceName) << '\n'
        << "device code: " << trimmed(id.deviceCode) << '\n';
    if (id.showLock)
        out << "lock/fuse bits: " << trimmed(id.lockBit) << '\n'
            << "lock mode: " << trimmed(id.lockMode) << '\n';
}

}  // namespace tavrin::cli
