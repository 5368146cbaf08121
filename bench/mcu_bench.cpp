// Programming and verifying the largest part of each microcontroller family code on the
// simulated board: host time (the benchmark's clock), board time (virtual seconds a real
// ISA-speed port would take) and port accesses per byte.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "algorithms/mcu/Mcs48.h"
#include "algorithms/mcu/Mcs51.h"
#include "core/Context.h"
#include "core/Dispatch.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"
#include "sim/mcu/SimMcs48.h"
#include "sim/mcu/SimMcs51.h"

namespace {

using namespace tavrin;

struct McuBenchRig {
    explicit McuBenchRig(const char* device) {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        if (const DeviceEntry* entry = FindDevice(device)) SelectDevice(ctx, *entry);
        bytes = uint32_t(ctx.profile.bufferSize);
        std::mt19937 gen(42);
        for (uint32_t i = 0; i < bytes; ++i) ctx.Buffer[i] = uint8_t(gen());
        ctx.profile.bufferLoaded = bytes;
    }
    // A fresh chip in the socket: erased, or holding the image.
    void insertChip(bool holdingImage) {
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        if (auto* m51 = dynamic_cast<sim::SimMcs51*>(made.get()); m51 && holdingImage)
            std::copy(ctx.Buffer.begin(), ctx.Buffer.begin() + bytes, m51->cells().begin());
        if (auto* m48 = dynamic_cast<sim::SimMcs48*>(made.get()); m48 && holdingImage)
            std::copy(ctx.Buffer.begin(), ctx.Buffer.begin() + bytes, m48->cells().begin());
        board->insert(std::move(made));
    }
    Context ctx;
    sim::SimBoard* board = nullptr;
    uint32_t bytes = 0;
};

void run(benchmark::State& state, const char* device, Routine routine, bool holdingImage) {
    McuBenchRig rig(device);
    if (rig.bytes == 0) return state.SkipWithError("no such device");
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.insertChip(holdingImage);
        rig.ctx.profile.bufferLoaded = rig.bytes;
        rig.ctx.profile.quietVerify = 0;
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        state.ResumeTiming();
        routine(rig.ctx);
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (rig.ctx.profile.verifyError != 0) return state.SkipWithError("the run failed");
    }
    const double n = double(state.iterations());
    state.counters["board_s"] = virtualUs / 1e6 / n;
    state.counters["accesses/byte"] = double(accesses) / n / rig.bytes;
    state.counters["bytes"] = rig.bytes;
}

void BM_ProgramMcu(benchmark::State& state, const char* device, Routine routine) {
    run(state, device, routine, false);
}
void BM_VerifyMcu(benchmark::State& state, const char* device, Routine routine) {
    run(state, device, routine, true);
}

// eep 10: the 32 KB flash part and the 32 KB EPROM part (25 pulses a byte); eep 11: AT89C4051;
// eep 28: D8749H (50 ms a byte); eep 29: P8050AH, which only verifies.
BENCHMARK_CAPTURE(BM_ProgramMcu, AT89C51RC, "AT89C51RC", &ProgramMcs51)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProgramMcu, i87x58, "i87x58", &ProgramMcs51)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProgramMcu, AT89C4051, "AT89C4051", &ProgramMcs51)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProgramMcu, D8749H, "D8749H", &ProgramMcs48)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VerifyMcu, AT89C51RC, "AT89C51RC", &VerifyMcs51)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VerifyMcu, AT89C4051, "AT89C4051", &VerifyMcs51)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VerifyMcu, D8749H, "D8749H", &VerifyMcs48)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VerifyMcu, P8050AH, "P8050AH", &VerifyMcs48)->Unit(benchmark::kMillisecond);

}  // namespace
