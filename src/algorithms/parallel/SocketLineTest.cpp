#include "algorithms/parallel/SocketLineTest.h"

#include <bit>

#include "algorithms/parallel/StaticRam.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int32_t kStaticRamTest = 21;  // eep of the SRAM test entries

std::string level(int bit) {
    return bit ? "1" : "0";
}

}  // namespace

SocketLineResult TestSocketLines(Context& ctx) {
    SocketLineResult result;
    DeviceProfile& p = ctx.profile;
    Bus& bus = ctx.bus;
    if (p.eep != kStaticRamTest || p.bufferSize <= 0) {
        Message(ctx,
                "The line test needs a static RAM in the socket: select a 6264, 62256 or "
                "similar RAM entry",
                MessageKind::Error);
        return result;
    }
    p.hwError = bus.CheckHardware();
    if (p.hwError != 0) return result;
    result.addressLines = std::bit_width(uint32_t(p.bufferSize) - 1);
    result.dataLines = 8;
    SetProcessGauge(ctx, " Line test", result.dataLines + result.addressLines, GaugeColor::Verify);
    bus.PowerUp();

    // Data lines: each bit alone high and alone low at address 0.
    uint8_t stuckMask = 0, stuckLevels = 0;
    for (int k = 0; k < 8; ++k) {
        for (uint8_t v : {uint8_t(1u << k), uint8_t(~(1u << k))}) {
            SramWriteByte(ctx, 0, v);
            const uint8_t r = SramReadByte(ctx, 0);
            const uint8_t wrong = uint8_t((r ^ v) & ~stuckMask);
            for (int b = 0; b < 8; ++b)
                if (wrong & (1u << b)) {
                    stuckMask |= uint8_t(1u << b);
                    stuckLevels |= uint8_t(r & (1u << b));
                }
        }
        if (StepCancelled(ctx, k + 1)) {
            Message(ctx, "Line test interrupted!", MessageKind::Error);
            bus.PowerDown();
            return result;
        }
    }
    for (int b = 0; b < 8; ++b)
        if (stuckMask & (1u << b))
            result.faults.push_back("D" + std::to_string(b) + " stuck at " +
                                    level((stuckLevels >> b) & 1));

    // Address lines: a byte at 0 and another at 1 << k; a line that does not switch makes both
    // reach the same cell. Only the data lines that work take part in the comparison.
    const uint8_t good = uint8_t(~stuckMask);
    if (good != 0) {
        for (int k = 0; k < result.addressLines; ++k) {
            const uint32_t other = 1u << k;
            SramWriteByte(ctx, 0, 0xA5);
            SramWriteByte(ctx, other, 0x5A);
            const uint8_t r0 = SramReadByte(ctx, 0);
            if (((r0 ^ 0xA5) & good) != 0)
                result.faults.push_back(
                    Format("A%d stuck or open (0x%05X and 0x%05X reach one cell)", k, 0u, other));
            if (StepCancelled(ctx, result.dataLines + k + 1)) {
                Message(ctx, "Line test interrupted!", MessageKind::Error);
                bus.PowerDown();
                return result;
            }
        }
    }
    bus.PowerDown();
    result.ran = true;
    if (result.faults.empty())
        Message(ctx, "Socket lines OK", MessageKind::Success);
    else
        Message(ctx, "Stuck line: " + result.faults.front(), MessageKind::Error);
    return result;
}

}  // namespace tavrin
