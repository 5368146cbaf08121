// Programming and verifying whole EPROMs on the simulated board: host time (the benchmark's own
// clock), board time (virtual seconds a real ISA-speed port would take) and port accesses per byte.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "algorithms/parallel/UvEprom.h"
#include "core/Context.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"
#include "sim/SimEprom.h"

namespace {

using namespace tavrin;

struct EpromBenchRig {
    explicit EpromBenchRig(const char* device) {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        if (const DeviceEntry* entry = FindDevice(device)) SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SimEprom*>(made.get());
        board->insert(std::move(made));
        bytes = uint32_t(ctx.profile.bufferSize);
        std::mt19937 gen(42);
        for (uint32_t i = 0; i < bytes; ++i) ctx.Buffer[i] = uint8_t(gen());
        ctx.profile.bufferLoaded = bytes;
    }
    Context ctx;
    sim::SimBoard* board = nullptr;
    sim::SimEprom* chip = nullptr;
    uint32_t bytes = 0;
};

void report(benchmark::State& state, const EpromBenchRig& rig, double virtualUs,
            uint64_t accesses) {
    const double n = double(state.iterations());
    state.counters["board_s"] = virtualUs / 1e6 / n;
    state.counters["accesses/byte"] = double(accesses) / n / rig.bytes;
    state.counters["bytes"] = rig.bytes;
}

// ProgramEprom over the whole chip, its closing verify pass included.
void BM_ProgramEprom(benchmark::State& state, const char* device) {
    EpromBenchRig rig(device);
    if (!rig.chip) return state.SkipWithError("no EPROM model");
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig.chip->uvErase();
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        state.ResumeTiming();
        ProgramEprom(rig.ctx);
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (rig.ctx.profile.verifyError != 0) return state.SkipWithError("program failed");
    }
    report(state, rig, virtualUs, accesses);
}

// VerifyEprom alone over a programmed chip.
void BM_VerifyEprom(benchmark::State& state, const char* device) {
    EpromBenchRig rig(device);
    if (!rig.chip) return state.SkipWithError("no EPROM model");
    std::copy(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + rig.bytes,
              rig.chip->cells().begin());
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        rig.ctx.profile.quietVerify = 0;
        VerifyEprom(rig.ctx);
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (rig.ctx.profile.verifyError != 0) return state.SkipWithError("verify failed");
    }
    report(state, rig, virtualUs, accesses);
}

BENCHMARK_CAPTURE(BM_ProgramEprom, 27C256, "27C256")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_VerifyEprom, 27C256, "27C256")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_ProgramEprom, 27C080, "27C080/801   (PCB3)")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_VerifyEprom, 27C080, "27C080/801   (PCB3)")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
