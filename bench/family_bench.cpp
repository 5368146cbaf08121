// Every family's read, program and verify on one part of the family, on the simulated
// board: simulated port accesses per host second (the cost of the simulation), and port accesses
// per byte next to the fewest the board needs for that protocol, so that waste shows as a ratio
// above 1 ("min/byte" and "x_min").
//
// The minimum per byte, from how the board is wired (address register shifted in by D0/D1, data
// read back through a register shifted out bit by bit on status bit 6):
//   parallel families: the A address bits (data, then the clock's rising edge: 2 writes a bit),
//     the read-back (load pulse 2 writes, 8 status reads, 7 shift pulses of 2 writes): read and
//     verify 2A + 24; program 2A + 5 (data-out mode, data, strobe on and off, serial mode) plus the
//     read of the byte every routine checks: 4A + 29;
//   I2C (24C): 9 clocks of 2 writes a byte, 8 status reads when reading: read 26, program 19 + 26;
//   SPI (25C) and Microwire (93C) in sequential transfers: 8 clocks of 2 writes, 8 status reads
//     when reading: read 24, program 16 + 24 (Microwire writes a whole instruction per byte:
//     2 (3 + A + 8) + 3 + 24);
//   PIC (ICSP, a 14-bit word per two bytes): a 6-bit command and 16 data clocks of 2 writes, one
//     status read a bit when reading, and the 6-bit increment: read 36, program 64 a byte;
//   AVR high-voltage parallel: two address loads of 4 writes, the read-back 24: read 32, program
//     8 + 4 + 2 + 1 + 32 = 47.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>

#include "core/Commands.h"
#include "core/Context.h"
#include "core/Dispatch.h"
#include "core/ImageBuffer.h"
#include "core/RecordingFrontEnd.h"
#include "devices/Catalogue.h"
#include "sim/ChipFactory.h"
#include "sim/SimBoard.h"

namespace {

using namespace tavrin;

double MinimumPerByte(int eep, Command command, int addressBits) {
    const bool program = command == Command::Program;
    switch (eep) {
        case 1:
        case 2:
            return program ? 19 + 26 : 26;
        case 6:
            return program ? 16 + 24 : 24;
        case 8:
            return program ? 2 * (3 + addressBits + 8) + 3 + 24 : 24;
        case 16:
        case 17:
        case 18:
            return program ? 64 : 36;
        case 14:
            return program ? 47 : 32;
        default:
            return program ? 4 * addressBits + 29 : 2 * addressBits + 24;
    }
}

struct FamilyRig {
    explicit FamilyRig(const DeviceEntry& entry) : ctx(&ui) {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        SelectDevice(ctx, entry);
        DeviceProfile& p = ctx.profile;
        std::mt19937 gen(7);
        if (p.eep == 16 || p.eep == 17 || p.eep == 18) {
            // Program memory words of the core's width, as a file gives them; the configuration
            // word stays erased, so no code protection hides the verify. Two bytes a word.
            const uint16_t width = p.eep == 18 ? 0x0FFF : 0x3FFF;
            ClearBuf(ctx, 1);  // the erased image: configuration, ID and data areas
            for (int32_t i = 0; i < p.picProgWords; ++i)
                SetBufferWord(ctx, i, uint16_t((gen() & width) | (i == 0 ? 1 : 0)));
            p.bufferLoaded = uint32_t(p.picProgWords);
            bytes = 2 * uint32_t(p.picProgWords);
        } else {
            bytes = uint32_t(p.bufferSize);
            for (uint32_t i = 0; i < bytes; ++i) ctx.Buffer[i] = uint8_t(gen());
            p.bufferLoaded = bytes;
        }
        addressBits = std::max(1, int(std::ceil(std::log2(double(std::max<uint32_t>(bytes, 2))))));
    }
    void freshChip() { board->insert(MakeSimChip(ctx)); }
    RecordingFrontEnd ui;
    Context ctx;
    sim::SimBoard* board = nullptr;
    uint32_t bytes = 0;
    int addressBits = 0;
};

void BM_Family(benchmark::State& state, const DeviceEntry* entry, Command command) {
    FamilyRig rig(*entry);
    rig.freshChip();
    if (!rig.board->chip()) return state.SkipWithError("no chip model");
    if (command == Command::Verify) {  // verify a programmed chip
        rig.ui.answers.assign(16, true);
        // A mask ROM takes no program: verify what it holds instead.
        const bool programs = FamilyFor(entry->eep).program.kind == Action::Kind::Run;
        RunCommand(rig.ctx, programs ? Command::Program : Command::Read);
    }
    uint64_t accesses = 0;
    bool succeeded = true;
    for (auto _ : state) {
        state.PauseTiming();
        if (command == Command::Program) rig.freshChip();
        rig.ui.answers.assign(16, true);
        const uint64_t a0 = rig.board->accesses();
        state.ResumeTiming();
        RunCommand(rig.ctx, command);
        accesses += rig.board->accesses() - a0;
        const auto* last = rig.ui.last();
        succeeded = succeeded && (last == nullptr || last->kind != MessageKind::Error);
    }
    // A run that failed part way would make its accesses per byte look small.
    if (!succeeded) return state.SkipWithError(("did not succeed: " + rig.ui.lastText()).c_str());
    const double n = double(state.iterations());
    const double perByte = double(accesses) / n / rig.bytes;
    const double minimum = MinimumPerByte(entry->eep, command, rig.addressBits);
    state.counters["accesses/s"] =
        benchmark::Counter(double(accesses), benchmark::Counter::kIsRate);
    state.counters["accesses/byte"] = perByte;
    state.counters["min/byte"] = minimum;
    state.counters["x_min"] = perByte / minimum;
    state.counters["bytes"] = rig.bytes;
}

// One benchmark per family code and command its row runs, on the family's largest part of at most
// 64 KB (its smallest when all are larger): big enough that the inner loop dominates a run.
bool Better(const DeviceEntry& e, const DeviceEntry& than) {
    constexpr int32_t kLimit = 64 * 1024;
    if ((e.size <= kLimit) != (than.size <= kLimit)) return e.size <= kLimit;
    return e.size <= kLimit ? e.size > than.size : e.size < than.size;
}

const bool kRegistered = [] {
    std::map<int, const DeviceEntry*> chosen;
    for (const DeviceEntry& e : DeviceCatalogue()) {
        if (!e.selectable || !e.enabled || FindDevice(e.caption) != &e) continue;
        auto [it, fresh] = chosen.try_emplace(e.eep, &e);
        if (!fresh && Better(e, *it->second)) it->second = &e;
    }
    for (const auto& [eep, entry] : chosen)
        for (Command c : {Command::Read, Command::Program, Command::Verify}) {
            if (FamilyFor(eep)[c].kind != Action::Kind::Run) continue;
            const char* verb = c == Command::Read      ? "Read"
                               : c == Command::Program ? "Program"
                                                       : "Verify";
            const std::string name = "BM_Family/eep" + std::to_string(eep) + "/" + verb + "/" +
                                     NormalisePartName(entry->caption);
            benchmark::RegisterBenchmark(name.c_str(), BM_Family, entry, c)
                ->Unit(benchmark::kMillisecond);
        }
    return true;
}();

}  // namespace
