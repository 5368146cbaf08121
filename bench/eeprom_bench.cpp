// Programming the largest part of each EEPROM, sector-flash and SRAM family code on the simulated
// board: host time (the benchmark's clock), board time (virtual seconds an ISA-speed port takes).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "core/Commands.h"
#include "core/Context.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"

namespace {

using namespace tavrin;

struct PartBenchRig {
    explicit PartBenchRig(const char* device) {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        if (const DeviceEntry* entry = FindDevice(device)) SelectDevice(ctx, *entry);
        board->insert(MakeSimChip(ctx));
        bytes = uint32_t(ctx.profile.bufferSize);
        std::mt19937 gen(42);
        for (uint32_t i = 0; i < bytes; ++i) ctx.Buffer[i] = uint8_t(gen());
    }
    Context ctx;
    sim::SimBoard* board = nullptr;
    uint32_t bytes = 0;
};

// The Program command over the whole part (the SRAM test for eep 21), its verify included.
void BM_ProgramWholePart(benchmark::State& state, const char* device) {
    PartBenchRig rig(device);
    if (!rig.board->chip()) return state.SkipWithError("no model");
    double virtualUs = 0;
    for (auto _ : state) {
        rig.ctx.profile.bufferLoaded = rig.bytes;
        const double t0 = rig.board->nowUs();
        RunCommand(rig.ctx, Command::Program);
        virtualUs += rig.board->nowUs() - t0;
    }
    state.counters["board_s"] = virtualUs / 1e6 / double(state.iterations());
    state.counters["bytes"] = rig.bytes;
}

BENCHMARK_CAPTURE(BM_ProgramWholePart, 28C040_eep5, "28C040")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ProgramWholePart, AT28C040_eep7, "AT28C040  (256)")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ProgramWholePart, AT29C040_eep9, "AT29C040      (512)")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ProgramWholePart, W29C040_eep22, "W29C040/C042   (256)")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ProgramWholePart, DS1249_eep20, "DS1249  256KB")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ProgramWholePart, SRAM628128_eep21, "628128  128KB")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ProgramWholePart, W27x040_eep24, "W27x040  (Vpe 14V)")
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
