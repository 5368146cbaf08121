// Programming and reading the largest part of each serial EEPROM table on the simulated board:
// host time (the benchmark's own clock), board time (virtual seconds a real ISA-speed port would
// take) and port accesses per byte.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "core/Context.h"
#include "core/Dispatch.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"
#include "sim/serial/SerialMemory.h"

namespace {

using namespace tavrin;

struct SerialBenchRig {
    explicit SerialBenchRig(const char* device) {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        if (const DeviceEntry* entry = FindDevice(device)) SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SerialMemory*>(made.get());
        board->insert(std::move(made));
        bytes = uint32_t(ctx.profile.bufferSize);
        std::mt19937 gen(42);
        for (uint32_t i = 0; i < bytes; ++i) ctx.Buffer[i] = uint8_t(gen());
    }
    Context ctx;
    sim::SimBoard* board = nullptr;
    sim::SerialMemory* chip = nullptr;
    uint32_t bytes = 0;
};

// Program (with the verify that ends it) or Read over the whole part, through its dispatch row.
void BM_Serial(benchmark::State& state, const char* device, Command command) {
    SerialBenchRig rig(device);
    if (!rig.chip) return state.SkipWithError("no serial model");
    const Action& action = FamilyFor(rig.ctx.profile.eep)[command];
    if (action.kind != Action::Kind::Run) return state.SkipWithError("no routine");
    if (command == Command::Read)
        std::copy(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + rig.bytes,
                  rig.chip->cells().begin());
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.ctx.profile.bufferLoaded = rig.bytes;
        rig.ctx.profile.quietVerify = 0;
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        state.ResumeTiming();
        action.routine(rig.ctx);
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (command == Command::Program && rig.ctx.profile.verifyError != 0)
            return state.SkipWithError("program failed");
    }
    const double n = double(state.iterations());
    state.counters["board_s"] = virtualUs / 1e6 / n;
    state.counters["accesses/byte"] = double(accesses) / n / rig.bytes;
    state.counters["bytes"] = rig.bytes;
}

}  // namespace

BENCHMARK_CAPTURE(BM_Serial, Program24C16, "24C16", Command::Program)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Read24C16, "24C16", Command::Read)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Program24C512, "24C512    (128)", Command::Program)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Read24C512, "24C512    (128)", Command::Read)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Program93C86x8, "93C86 (8bit)", Command::Program)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Read93C86x8, "93C86 (8bit)", Command::Read)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Program93C86x16, "93C86 (16bit)", Command::Program)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Read93C86x16, "93C86 (16bit)", Command::Read)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Program25x040, "25x040", Command::Program)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, Read25x040, "25x040", Command::Read)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, ProgramAT25HP1024, "AT25HP1024 (128)", Command::Program)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Serial, ReadAT25HP1024, "AT25HP1024 (128)", Command::Read)
    ->Unit(benchmark::kMillisecond);
