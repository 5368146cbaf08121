// Programming, verifying and erasing the largest part of each JEDEC flash family code on the
// simulated board: host time (the benchmark's clock), board time (virtual seconds at an
// ISA-speed port) and port accesses per byte.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "algorithms/parallel/Jedec29F.h"
#include "algorithms/parallel/ParallelCommon.h"
#include "core/Context.h"
#include "core/Dispatch.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"
#include "sim/parallel/SimJedec29F.h"

namespace {

using namespace tavrin;

struct JedecBenchRig {
    explicit JedecBenchRig(const char* device, bool fast = false) {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        if (const DeviceEntry* entry = FindDevice(device)) SelectDevice(ctx, *entry);
        ctx.profile.fastPro = fast ? 1 : 0;
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SimJedec29F*>(made.get());
        board->insert(std::move(made));
        bytes = uint32_t(ctx.profile.bufferSize);
        std::mt19937 gen(42);
        for (uint32_t i = 0; i < bytes; ++i) ctx.Buffer[i] = uint8_t(gen());
        ctx.profile.bufferLoaded = bytes;
    }
    void erase() { std::fill(chip->cells().begin(), chip->cells().end(), 0xFF); }
    Context ctx;
    sim::SimBoard* board = nullptr;
    sim::SimJedec29F* chip = nullptr;
    uint32_t bytes = 0;
};

void report(benchmark::State& state, const JedecBenchRig& rig, double virtualUs,
            uint64_t accesses) {
    const double n = double(state.iterations());
    state.counters["board_s"] = virtualUs / 1e6 / n;
    state.counters["accesses/byte"] = double(accesses) / n / rig.bytes;
    state.counters["bytes"] = rig.bytes;
}

template <typename Body>
void measure(benchmark::State& state, JedecBenchRig& rig, Body body, bool eraseFirst) {
    if (!rig.chip) return state.SkipWithError("no JEDEC model");
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (eraseFirst) rig.erase();
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        state.ResumeTiming();
        body();
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (rig.ctx.profile.verifyError != 0) return state.SkipWithError("the run failed");
    }
    report(state, rig, virtualUs, accesses);
}

// The family's program routine over the whole chip, its closing verify included.
void BM_Program(benchmark::State& state, const char* device, bool fast) {
    JedecBenchRig rig(device, fast);
    measure(
        state, rig, [&] { FamilyFor(rig.ctx.profile.eep).program.routine(rig.ctx); }, true);
}

// VerifyParallel alone over a programmed chip.
void BM_Verify(benchmark::State& state, const char* device) {
    JedecBenchRig rig(device);
    if (rig.chip)
        std::copy(rig.ctx.Buffer.begin(), rig.ctx.Buffer.begin() + rig.bytes,
                  rig.chip->cells().begin());
    measure(
        state, rig,
        [&] {
            rig.ctx.profile.quietVerify = 0;
            VerifyParallel(rig.ctx);
        },
        false);
}

// Chip erase: the fixed wait and the polling until the part is done.
void BM_Erase(benchmark::State& state, const char* device) {
    JedecBenchRig rig(device);
    measure(
        state, rig, [&] { FamilyFor(rig.ctx.profile.eep).erase.routine(rig.ctx); }, false);
}

// The largest part of each family code: 29F040 (4), 39SF/49F040 (12), MX29F040 (27),
// MBM29F032x (23) and Am29F320 (15).
#define JEDEC_BENCH(name, device)                                                            \
    BENCHMARK_CAPTURE(BM_Program, name, device, false)->Unit(benchmark::kMillisecond);       \
    BENCHMARK_CAPTURE(BM_Program, name##_fast, device, true)->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(BM_Verify, name, device)->Unit(benchmark::kMillisecond);               \
    BENCHMARK_CAPTURE(BM_Erase, name, device)->Unit(benchmark::kMillisecond);

JEDEC_BENCH(Am29F040, "29F040")
JEDEC_BENCH(SST39SF040, "39SF/49F040")
JEDEC_BENCH(MX29F040, "MX29F040")
JEDEC_BENCH(MBM29F032, "MBM29F032x")
JEDEC_BENCH(Am29F320, "Am29F320")

}  // namespace
