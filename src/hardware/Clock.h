#pragma once
// Time in the program's delay unit: one unit is 0.8381 us. Real ports busy-wait a monotonic clock;
// the simulated board advances a virtual one.

#include <chrono>
#include <cstdint>

namespace tavrin {

// Virtual time is kept in tenths of a nanosecond so that a delay unit (8381 tenths) is exact.
inline constexpr int64_t kTicksPerNs = 10;
inline constexpr int64_t kTicksPerDelayUnit = 8381;

class Clock {
public:
    virtual ~Clock() = default;
    virtual void delay(int32_t units) = 0;
    // Nanoseconds since an arbitrary start.
    virtual double nowNs() const = 0;
};

// Busy wait on the monotonic clock, no sleeping and no yielding: the waits are far below the
// system timer's resolution.
class RealClock final : public Clock {
public:
    void delay(int32_t units) override {
        if (units <= 0) return;
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::nanoseconds(int64_t(units) * kTicksPerDelayUnit / kTicksPerNs);
        while (std::chrono::steady_clock::now() < end) {
        }
    }
    double nowNs() const override {
        return double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    }
};

class VirtualClock final : public Clock {
public:
    void delay(int32_t units) override {
        if (units > 0) ticks_ += int64_t(units) * kTicksPerDelayUnit;
    }
    double nowNs() const override { return double(ticks_) / kTicksPerNs; }
    void advanceTicks(int64_t ticks) { ticks_ += ticks; }
    int64_t ticks() const { return ticks_; }
    void setTicks(int64_t ticks) { ticks_ = ticks; }

private:
    int64_t ticks_ = 0;
};

}  // namespace tavrin
