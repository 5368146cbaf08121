#include "sim/parallel/FlashFaults.h"

#include <cerrno>
#include <cstdlib>

namespace tavrin::sim {

namespace {

bool number(const std::string& text, uint32_t limit, uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > limit) return false;
    value = uint32_t(v);
    return true;
}

}  // namespace

bool ApplyFlashFault(FlashFaults& target, const std::string& fault) {
    const size_t colon = fault.find(':');
    const std::string kind = fault.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : fault.substr(colon + 1);
    const size_t second = rest.find(':');
    uint32_t a = 0, b = 0;
    if (kind == "slow-erase" && number(rest, 1000000, a) && a >= 1) {
        target.setSlowErase(int(a));
    } else if (kind == "unerasable" && number(rest, 0xFFFFFFFF, a)) {
        target.setUnerasable(a);
    } else if (fault == "vpp-missing") {
        target.setVppMissing(true);
    } else if (kind == "id" && second != std::string::npos &&
               number(rest.substr(0, second), 0xFF, a) &&
               number(rest.substr(second + 1), 0xFF, b)) {
        target.setId(uint8_t(a), uint8_t(b));
    } else {
        return false;
    }
    return true;
}

}  // namespace tavrin::sim
