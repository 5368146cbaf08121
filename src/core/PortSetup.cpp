#include "core/PortSetup.h"

#include <cstdlib>

#include "hardware/Bus.h"
#include "hardware/DirectIoPort.h"
#include "hardware/PpdevPort.h"
#include "sim/SimBoard.h"

namespace tavrin {

bool ParsePortChoice(const std::string& text, PortChoice& choice, std::string& error) {
    const auto colon = text.find(':');
    const std::string kind = text.substr(0, colon);
    const std::string arg = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    choice = PortChoice{};
    if (kind == "sim" && arg.empty()) {
        choice.kind = PortChoice::Kind::Simulated;
    } else if (kind == "none" && arg.empty()) {
        choice.kind = PortChoice::Kind::None;
    } else if (kind == "ppdev") {
        choice.kind = PortChoice::Kind::Ppdev;
        choice.device = arg;
    } else if (kind == "io") {
        choice.kind = PortChoice::Kind::DirectIo;
        if (!arg.empty()) {
            char* end = nullptr;
            const unsigned long base = std::strtoul(arg.c_str(), &end, 16);
            if (*end != '\0' || (base != kLptBase[0] && base != kLptBase[1] && base != kLptBase[2])) {
                error = "unknown port base '" + arg + "' (use 0x378, 0x278 or 0x3BC)";
                return false;
            }
            choice.base = static_cast<uint16_t>(base);
        }
    } else {
        error = "unknown port '" + text + "' (use sim, ppdev[:/dev/parportN] or io[:0x378|0x278|0x3BC])";
        return false;
    }
    return true;
}

OpenedPort OpenPort(const PortChoice& choice, int lptIndex) {
    if (lptIndex < 0 || lptIndex > 2) lptIndex = 0;
    OpenedPort opened;
    switch (choice.kind) {
        case PortChoice::Kind::Simulated:
            opened.port = std::make_unique<sim::SimBoard>();
            return opened;
        case PortChoice::Kind::Ppdev: {
            const std::string device =
                choice.device.empty() ? "/dev/parport" + std::to_string(lptIndex) : choice.device;
            opened.port = PpdevPort::open(device, opened.error);
            break;
        }
        case PortChoice::Kind::DirectIo:
            opened.port = DirectIoPort::open(choice.base ? choice.base : kLptBase[lptIndex], opened.error);
            break;
        case PortChoice::Kind::None:
            opened.error = "no port configured";
            break;
    }
    if (!opened.port) opened.port = std::make_unique<NullPort>(opened.error);
    return opened;
}

}  // namespace tavrin
