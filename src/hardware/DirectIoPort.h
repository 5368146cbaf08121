#pragma once
// Direct I/O backend: ioperm + inb/outb on base..base+2 (x86 Linux, root or CAP_SYS_RAWIO).

#include <memory>
#include <string>

#include "hardware/Port.h"

namespace tavrin {

class DirectIoPort final : public Port {
public:
    // Only the three printer-port bases are accepted.
    static std::unique_ptr<DirectIoPort> open(uint16_t base, std::string& error);
    ~DirectIoPort() override;

    void writeData(uint8_t value) override;
    void writeControl(uint8_t value) override;
    uint8_t readStatus() override;
    Clock& clock() override { return clock_; }
    std::string describe() const override;

private:
    explicit DirectIoPort(uint16_t base) : base_(base) {}
    uint16_t base_;
    RealClock clock_;
};

}  // namespace tavrin
