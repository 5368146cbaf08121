// Simulated port throughput and the virtual cost of the basic read step.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/Context.h"
#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"
#include "sim/SimBoard.h"
#include "sim/SimMemoryChip.h"

namespace {

using namespace tavrin;

struct Rig {
    Rig() {
        auto b = std::make_unique<sim::SimBoard>();
        board = b.get();
        ctx.setPort(std::move(b));
        board->insert(std::make_unique<sim::SimMemoryChip>(32768, false, 0x5A));
        SetBufferSize(ctx, 32768);  // ShiftAdr 14
        UpdateShift(ctx.profile);
    }
    Context ctx;
    sim::SimBoard* board;
};

// Raw register accesses through the port interface, the way the bus issues them.
void BM_SimulatedPortAccesses(benchmark::State& state) {
    Rig rig;
    Port& port = rig.ctx.port();
    uint8_t v = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            port.writeData(v);
            v = uint8_t(v + 1) & 0x07;  // serial-mode lines: clocks and loads
            port.writeControl(0x04);
            benchmark::DoNotOptimize(port.readStatus());
        }
    }
    state.counters["accesses/s"] =
        benchmark::Counter(double(state.iterations()) * 3000, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SimulatedPortAccesses);

// One SetAddress + ReadDataByte at ShiftAdr 14: host time, accesses and virtual microseconds.
void BM_SetAddressReadByte(benchmark::State& state) {
    Rig rig;
    rig.ctx.bus.PowerUp();
    uint32_t addr = 0;
    const uint64_t a0 = rig.board->accesses();
    const double t0 = rig.board->nowUs();
    for (auto _ : state) {
        rig.ctx.bus.SetAddress(addr);
        benchmark::DoNotOptimize(rig.ctx.bus.ReadDataByte());
        addr = (addr + 1) & 0x7FFF;
    }
    const double n = double(state.iterations());
    state.counters["accesses/op"] = double(rig.board->accesses() - a0) / n;
    state.counters["virtual_us/op"] = (rig.board->nowUs() - t0) / n;
    state.counters["accesses/s"] =
        benchmark::Counter(double(rig.board->accesses() - a0), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SetAddressReadByte);

}  // namespace
