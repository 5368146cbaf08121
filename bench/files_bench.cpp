// File formats on a full 4 MB image: HEX and S-record load and save, CRC-32, and a conversion
// measured against srec_cat on the same file in the same run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "buffer/FileCommands.h"
#include "buffer/IntelHex.h"
#include "buffer/RomIdent.h"
#include "buffer/SRecord.h"
#include "core/Context.h"
#include "core/ImageBuffer.h"

namespace {

using namespace tavrin;
using Clock = std::chrono::steady_clock;

// A 4 MB device with a random image, its HEX and S-record files in a scratch folder.
struct FilesFixture {
    FilesFixture() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavrin-bench-XXXXXX").string();
        dir = ::mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
        SetBufferSize(ctx, kBufferBytes);
        std::mt19937 rng(1);
        for (auto& b : ctx.Buffer) b = static_cast<uint8_t>(rng());
        ctx.profile.bufferLoaded = kBufferBytes;
        hex = dir + "/image.hex";
        srec = dir + "/image.s";
        SaveImage(ctx, hex, FileFormat::IntelHex, SaveNaming::AsGiven);
        SaveImage(ctx, srec, FileFormat::SRecord, SaveNaming::AsGiven);
    }
    ~FilesFixture() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    Context ctx;
    std::string dir, hex, srec;
};

FilesFixture& Files() {
    static FilesFixture fixture;
    return fixture;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * kBufferBytes);
}

void BM_SaveHex4MB(benchmark::State& state) {
    FilesFixture& f = Files();
    for (auto _ : state) benchmark::DoNotOptimize(SaveHexFile(f.ctx, f.dir + "/out.hex"));
    SetBytes(state);
}
BENCHMARK(BM_SaveHex4MB)->Unit(benchmark::kMillisecond);

void BM_LoadHex4MB(benchmark::State& state) {
    FilesFixture& f = Files();
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadHexFile(f.ctx, FileSource::File(f.hex), false));
    SetBytes(state);
}
BENCHMARK(BM_LoadHex4MB)->Unit(benchmark::kMillisecond);

void BM_SaveSRecord4MB(benchmark::State& state) {
    FilesFixture& f = Files();
    for (auto _ : state) benchmark::DoNotOptimize(SaveSRecordFile(f.ctx, f.dir + "/out.s"));
    SetBytes(state);
}
BENCHMARK(BM_SaveSRecord4MB)->Unit(benchmark::kMillisecond);

void BM_LoadSRecord4MB(benchmark::State& state) {
    FilesFixture& f = Files();
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadSRecordFile(f.ctx, FileSource::File(f.srec), false));
    SetBytes(state);
}
BENCHMARK(BM_LoadSRecord4MB)->Unit(benchmark::kMillisecond);

void BM_Crc32Of4MB(benchmark::State& state) {
    FilesFixture& f = Files();
    f.ctx.profile.bufferLoaded = kBufferBytes;
    for (auto _ : state) benchmark::DoNotOptimize(LoadedDataCrc(f.ctx));
    SetBytes(state);
}
BENCHMARK(BM_Crc32Of4MB)->Unit(benchmark::kMillisecond);

// One conversion of the 4 MB file by us (load, then save in the other format) and by srec_cat,
// timed back to back. The reported time is ours; the counters give both and the ratio.
void Convert(benchmark::State& state, bool hexToS) {
    if (std::system("command -v srec_cat >/dev/null 2>&1") != 0) {
        state.SkipWithError("srec_cat is not installed");
        return;
    }
    FilesFixture& f = Files();
    const std::string in = hexToS ? f.hex : f.srec;
    const std::string out = f.dir + (hexToS ? "/conv.s" : "/conv.hex");
    const std::string command = "srec_cat " + in + (hexToS ? " -Intel" : " -Motorola") + " -o " +
                                out + (hexToS ? " -Motorola -address-length=4" : " -Intel") +
                                " >/dev/null 2>&1";
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        LoadImage(f.ctx, in, hexToS ? FileFormat::IntelHex : FileFormat::SRecord);
        SaveImage(f.ctx, out, hexToS ? FileFormat::SRecord : FileFormat::IntelHex,
                  SaveNaming::AsGiven);
        const auto t1 = Clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("srec_cat failed");
        const auto t2 = Clock::now();
        const double o = std::chrono::duration<double>(t1 - t0).count();
        ours += o;
        theirs += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(o);
    }
    const double n = double(state.iterations());
    state.counters["ours_ms"] = 1000 * ours / n;
    state.counters["srec_cat_ms"] = 1000 * theirs / n;
    state.counters["srec_cat_per_ours"] = ours > 0 ? theirs / ours : 0;
}

void BM_ConvertHexToSRecordVsSrecCat(benchmark::State& state) {
    Convert(state, true);
}
BENCHMARK(BM_ConvertHexToSRecordVsSrecCat)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_ConvertSRecordToHexVsSrecCat(benchmark::State& state) {
    Convert(state, false);
}
BENCHMARK(BM_ConvertSRecordToHexVsSrecCat)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
