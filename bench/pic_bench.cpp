// Programming and verifying the largest PIC of each family code on the simulated board: host time
// (the benchmark's own clock), board time (virtual seconds a real ISA-speed port would take) and
// port accesses per program word.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "algorithms/mcu/Pic.h"
#include "core/Context.h"
#include "core/ImageBuffer.h"
#include "core/RecordingFrontEnd.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"
#include "sim/mcu/SimPic.h"

namespace {

using namespace tavrin;

struct PicBenchRig {
    explicit PicBenchRig(const char* device) : ctx(&ui) {
        ui.attach(&ctx);
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        if (const DeviceEntry* entry = FindDevice(device)) SelectDevice(ctx, *entry);
        ClearBuf(ctx, 1);
        const DeviceProfile& p = ctx.profile;
        words = uint32_t(p.picProgWords);
        const uint16_t width = p.eep == 18 ? 0x0FFF : 0x3FFF;
        std::mt19937 gen(42);
        for (uint32_t i = 0; i + 1 < words; ++i) SetBufferWord(ctx, i, uint16_t(gen() & width));
        for (int32_t j = 0; j < p.picDataBytes; ++j)
            SetBufferWord(ctx, 0x2100 + j, uint16_t(gen() & 0xFF));
        ctx.profile.bufferLoaded = words;
    }
    // A fresh chip in the socket (EPROM parts cannot be erased).
    sim::SimPic* fresh() {
        std::unique_ptr<sim::SimChip> made = MakeSimChip(ctx);
        auto* chip = dynamic_cast<sim::SimPic*>(made.get());
        board->insert(std::move(made));
        return chip;
    }
    RecordingFrontEnd ui;
    Context ctx;
    sim::SimBoard* board = nullptr;
    uint32_t words = 0;
};

void report(benchmark::State& state, const PicBenchRig& rig, double virtualUs, uint64_t accesses) {
    const double n = double(state.iterations());
    state.counters["board_s"] = virtualUs / 1e6 / n;
    state.counters["accesses/word"] = double(accesses) / n / rig.words;
    state.counters["words"] = rig.words;
}

// The Program routine of the family (erase, program, data, verify, identifiers, configuration).
void BM_PicProgram(benchmark::State& state, const char* device) {
    PicBenchRig rig(device);
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!rig.fresh()) return state.SkipWithError("no PIC model");
        rig.ui.answers = {true};
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        state.ResumeTiming();
        switch (rig.ctx.profile.eep) {
            case 16:
                PicProgramEprom(rig.ctx);
                break;
            case 17:
                PicProgramFlash(rig.ctx);
                break;
            default:
                PicProgram12(rig.ctx);
                break;
        }
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (rig.ui.lastText() != "Device Programed OK")
            return state.SkipWithError("program failed");
    }
    report(state, rig, virtualUs, accesses);
}

// The Verify routine alone over a programmed chip.
void BM_PicVerify(benchmark::State& state, const char* device) {
    PicBenchRig rig(device);
    if (!rig.fresh()) return state.SkipWithError("no PIC model");
    rig.ui.answers = {true};
    switch (rig.ctx.profile.eep) {
        case 16:
            PicProgramEprom(rig.ctx);
            break;
        case 17:
            PicProgramFlash(rig.ctx);
            break;
        default:
            PicProgram12(rig.ctx);
            break;
    }
    double virtualUs = 0;
    uint64_t accesses = 0;
    for (auto _ : state) {
        const double t0 = rig.board->nowUs();
        const uint64_t a0 = rig.board->accesses();
        PicVerifyCommand(rig.ctx);
        virtualUs += rig.board->nowUs() - t0;
        accesses += rig.board->accesses() - a0;
        if (rig.ctx.profile.verifyError != 0) return state.SkipWithError("verify failed");
    }
    report(state, rig, virtualUs, accesses);
}

}  // namespace

// The largest part of each family code: 16F877 (flash), 16C622 (14-bit EPROM), 12C509 (12-bit).
BENCHMARK_CAPTURE(BM_PicProgram, pic16F877, "PIC 16F877")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_PicProgram, pic16C622, "PIC 16C622")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_PicProgram, pic12C509, "PIC 12C509")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_PicVerify, pic16F877, "PIC 16F877")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PicVerify, pic16C622, "PIC 16C622")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PicVerify, pic12C509, "PIC 12C509")->Unit(benchmark::kMillisecond);
