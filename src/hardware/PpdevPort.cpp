#include "hardware/PpdevPort.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace tavrin {

namespace {

constexpr uint8_t kSafeIdleControl = 0x09;  // Vpp off, serial mode, Vcc off, strobe asserted

std::string baseName(const std::string& device) {
    const auto slash = device.find_last_of('/');
    return slash == std::string::npos ? device : device.substr(slash + 1);
}

}  // namespace

std::string usbAdapterReason(const std::string& device) {
#if defined(__linux__)
    const std::string name = baseName(device);
    if (device.find("/usb/") != std::string::npos || name.rfind("lp", 0) == 0)
        return device + " is a printer stream, not a port: USB printer adapters cannot drive single lines";
    std::ifstream base("/proc/sys/dev/parport/" + name + "/base-addr");
    long first = -1;
    if (base >> first && first == 0)
        return device + " is a USB-to-parallel adapter (no I/O base): it cannot drive the board's timing";
    char resolved[PATH_MAX];
    const std::string sysDevice = "/sys/class/ppdev/" + name + "/device";
    if (::realpath(sysDevice.c_str(), resolved) && std::strstr(resolved, "/usb"))
        return device + " sits on a USB adapter: it cannot drive the board's timing";
#else
    (void)device;
#endif
    return {};
}

#if defined(__linux__)

std::unique_ptr<PpdevPort> PpdevPort::open(const std::string& device, std::string& error) {
    if (std::string reason = usbAdapterReason(device); !reason.empty()) {
        error = reason;
        return nullptr;
    }
    // Exclusive access first; another driver (lp) holding the port makes the claim fail, and we
    // then share it.
    for (const bool exclusive : {true, false}) {
        const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            const int err = errno;
            if (err == ENOENT || err == ENXIO || err == ENODEV)
                error = device + ": no such port (load the ppdev and parport_pc modules)";
            else if (err == EACCES || err == EPERM)
                error = device + ": permission denied: add your user to group lp";
            else
                error = device + ": " + std::strerror(err);
            return nullptr;
        }
        if (exclusive && ::ioctl(fd, PPEXCL) != 0) {
            ::close(fd);
            continue;
        }
        if (::ioctl(fd, PPCLAIM) != 0) {
            const int err = errno;
            ::close(fd);
            if (exclusive) continue;
            error = device + ": cannot claim the port: " + std::strerror(err);
            return nullptr;
        }
        // The claim restores the kernel's initial control byte 0x0C: Vpp applied and Vcc on.
        // Take the socket to the safe idle state before anything else.
        unsigned char safe = kSafeIdleControl;
        ::ioctl(fd, PPWCONTROL, &safe);
        int mode = IEEE1284_MODE_COMPAT;
        ::ioctl(fd, PPSETMODE, &mode);
        int forward = 0;
        ::ioctl(fd, PPDATADIR, &forward);
        return std::unique_ptr<PpdevPort>(new PpdevPort(fd, device, exclusive));
    }
    error = device + ": cannot claim the port";
    return nullptr;
}

PpdevPort::~PpdevPort() {
    unsigned char safe = kSafeIdleControl;
    ::ioctl(fd_, PPWCONTROL, &safe);
    ::ioctl(fd_, PPRELEASE);
    ::close(fd_);
}

void PpdevPort::writeData(uint8_t value) {
    unsigned char v = value;
    ::ioctl(fd_, PPWDATA, &v);
}

void PpdevPort::writeControl(uint8_t value) {
    unsigned char v = value & 0x0F;  // bits 4 and 5 (IRQ, direction) are never ours
    ::ioctl(fd_, PPWCONTROL, &v);
}

uint8_t PpdevPort::readStatus() {
    unsigned char s = 0xFF;
    ::ioctl(fd_, PPRSTATUS, &s);
    return s;
}

#else

std::unique_ptr<PpdevPort> PpdevPort::open(const std::string& device, std::string& error) {
    error = device + ": ppdev is available on Linux only";
    return nullptr;
}
PpdevPort::~PpdevPort() = default;
void PpdevPort::writeData(uint8_t) {}
void PpdevPort::writeControl(uint8_t) {}
uint8_t PpdevPort::readStatus() { return 0xFF; }

#endif

}  // namespace tavrin
