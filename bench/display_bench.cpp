// Host time of the work every window refresh does: the checksum of the whole device and the
// display state, plus a device lookup as the command line does it.
#include <benchmark/benchmark.h>

#include "buffer/Checksum.h"
#include "core/ImageBuffer.h"
#include "devices/Catalogue.h"
#include "devices/DisplayState.h"

namespace {

using namespace tavrin;

void fillPattern(Context& ctx) {
    for (size_t i = 0; i < ctx.Buffer.size(); ++i) ctx.Buffer[i] = uint8_t(i * 31 + (i >> 9));
}

void BM_ChecksumSum16_4MB(benchmark::State& state) {
    Context ctx;
    fillPattern(ctx);
    SetBufferSize(ctx, kBufferBytes);
    for (auto _ : state) benchmark::DoNotOptimize(ChecksumText(ctx));
    state.SetBytesProcessed(int64_t(state.iterations()) * kBufferBytes);
}
BENCHMARK(BM_ChecksumSum16_4MB);

void BM_ChecksumCrc32_4MB(benchmark::State& state) {
    Context ctx;
    fillPattern(ctx);
    SetBufferSize(ctx, kBufferBytes);
    ctx.profile.checkType = kCheckCrc32;
    for (auto _ : state) benchmark::DoNotOptimize(ChecksumText(ctx));
    state.SetBytesProcessed(int64_t(state.iterations()) * kBufferBytes);
}
BENCHMARK(BM_ChecksumCrc32_4MB);

void BM_DisplayState_27C512(benchmark::State& state) {
    Context ctx;
    SelectDevice(ctx, *FindDevice("27C512"));
    for (auto _ : state) benchmark::DoNotOptimize(ComputeDisplayState(ctx));
}
BENCHMARK(BM_DisplayState_27C512);

void BM_FindDeviceByPartName(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(FindDevice("at29c010"));
}
BENCHMARK(BM_FindDeviceByPartName);

void BM_SelectDevice(benchmark::State& state) {
    Context ctx;
    const DeviceEntry& entry = *FindDevice("AT29C040      (512)");
    for (auto _ : state) {
        SelectDevice(ctx, entry);
        benchmark::DoNotOptimize(ctx.profile.bufferSize);
    }
}
BENCHMARK(BM_SelectDevice);

}  // namespace
