#include "hardware/DirectIoPort.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "hardware/Bus.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#define TAVRIN_HAVE_IOPERM 1
#include <sys/io.h>
#endif

namespace tavrin {

namespace {
constexpr uint8_t kSafeIdleControl = 0x09;
}

std::string DirectIoPort::describe() const {
    char text[32];
    std::snprintf(text, sizeof text, "io 0x%03X", base_);
    return text;
}

#ifdef TAVRIN_HAVE_IOPERM

std::unique_ptr<DirectIoPort> DirectIoPort::open(uint16_t base, std::string& error) {
    if (base != kLptBase[0] && base != kLptBase[1] && base != kLptBase[2]) {
        error = "direct I/O: only the bases 0x378, 0x278 and 0x3BC are allowed";
        return nullptr;
    }
    if (::ioperm(base, 3, 1) != 0) {
        const int err = errno;
        char text[160];
        std::snprintf(text, sizeof text, "direct I/O at 0x%03X: %s (needs root or CAP_SYS_RAWIO)", base,
                      err == ENOSYS ? "the kernel has no ioperm" : std::strerror(err));
        error = text;
        return nullptr;
    }
    outb(kSafeIdleControl, base + 2);  // a BIOS printer init may have left Vpp and Vcc on
    return std::unique_ptr<DirectIoPort>(new DirectIoPort(base));
}

DirectIoPort::~DirectIoPort() {
    outb(kSafeIdleControl, base_ + 2);
    ::ioperm(base_, 3, 0);
}

void DirectIoPort::writeData(uint8_t value) { outb(value, base_); }
void DirectIoPort::writeControl(uint8_t value) { outb(value & 0x0F, base_ + 2); }
uint8_t DirectIoPort::readStatus() { return inb(base_ + 1); }

#else

std::unique_ptr<DirectIoPort> DirectIoPort::open(uint16_t, std::string& error) {
    error = "direct I/O is available on x86 Linux only";
    return nullptr;
}
DirectIoPort::~DirectIoPort() = default;
void DirectIoPort::writeData(uint8_t) {}
void DirectIoPort::writeControl(uint8_t) {}
uint8_t DirectIoPort::readStatus() { return 0xFF; }

#endif

}  // namespace tavrin
