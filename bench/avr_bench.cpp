// Programming and verifying the largest AVR (AT90S8515: 8 KB flash, 512 bytes EEPROM) on the
// simulated board: host time (the benchmark's own clock), board time (virtual seconds a real
// ISA-speed port would take) and port accesses.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

#include "algorithms/mcu/Avr.h"
#include "core/Context.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"
#include "sim/mcu/SimAvr.h"

namespace {

using namespace tavrin;

struct AvrBenchRig {
    AvrBenchRig() {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        if (const DeviceEntry* entry = FindDevice("AT90S8515")) SelectDevice(ctx, *entry);
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        chip = dynamic_cast<sim::SimAvr*>(made.get());
        board->insert(std::move(made));
        std::mt19937 gen(42);
        for (int32_t i = 0; i < ctx.profile.bufferSize; ++i) ctx.Buffer[size_t(i)] = uint8_t(gen());
        for (int32_t i = 0; i < ctx.profile.avrEepromSize; ++i)
            ctx.Buffer[0x40000 + size_t(i)] = uint8_t(gen());
        ctx.profile.bufferLoaded = uint32_t(ctx.profile.bufferSize);
    }
    void erase() {
        std::fill(chip->flash().begin(), chip->flash().end(), 0xFF);
        std::fill(chip->eeprom().begin(), chip->eeprom().end(), 0xFF);
    }
    Context ctx;
    sim::SimBoard* board = nullptr;
    sim::SimAvr* chip = nullptr;
};

template <typename Body>
void measure(benchmark::State& state, AvrBenchRig& rig, bool eraseFirst, Body body) {
    if (!rig.chip) return state.SkipWithError("no AVR model");
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        if (eraseFirst) {
            state.PauseTiming();
            rig.erase();
            state.ResumeTiming();
        }
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        body();
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (rig.ctx.profile.verifyError != 0) return state.SkipWithError("verify failed");
    }
    const double n = double(state.iterations());
    state.counters["board_s"] = virtualUs / 1e6 / n;
    state.counters["accesses"] = double(accesses) / n;
}

// AvrProgram over flash and EEPROM, its closing verify included.
void BM_AvrProgramAT90S8515(benchmark::State& state) {
    AvrBenchRig rig;
    measure(state, rig, true, [&] { AvrProgram(rig.ctx); });
}
BENCHMARK(BM_AvrProgramAT90S8515)->Unit(benchmark::kMillisecond);

// AvrVerify alone over a programmed part.
void BM_AvrVerifyAT90S8515(benchmark::State& state) {
    AvrBenchRig rig;
    AvrProgram(rig.ctx);
    measure(state, rig, false, [&] { AvrVerify(rig.ctx); });
}
BENCHMARK(BM_AvrVerifyAT90S8515)->Unit(benchmark::kMillisecond);

}  // namespace
