#pragma once
// Linux ppdev backend: /dev/parportN, no root needed (group lp). Register bytes pass unchanged.

#include <memory>
#include <string>

#include "hardware/Port.h"

namespace tavrin {

class PpdevPort final : public Port {
public:
    // Opens and claims the port; on failure returns null and fills `error` with what the user can
    // do about it.
    static std::unique_ptr<PpdevPort> open(const std::string& device, std::string& error);
    ~PpdevPort() override;

    void writeData(uint8_t value) override;
    void writeControl(uint8_t value) override;
    uint8_t readStatus() override;
    Clock& clock() override { return clock_; }
    std::string describe() const override { return device_; }
    bool exclusive() const { return exclusive_; }

private:
    PpdevPort(int fd, std::string device, bool exclusive)
        : fd_(fd), device_(std::move(device)), exclusive_(exclusive) {}
    int fd_;
    std::string device_;
    bool exclusive_;
    RealClock clock_;
};

// Why a port node cannot be used for bit-banging: a USB printer adapter behind the parport layer
// (base address 0, or a USB parent device). Empty when the node looks like a real port.
std::string usbAdapterReason(const std::string& device);

}  // namespace tavrin
