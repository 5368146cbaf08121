// `tavrin convert` of a 4 MB image as a whole process (start-up, load, save, exit) against
// srec_cat on the same file, the two run in turn: HEX -> binary and binary -> S-record (S3, 16
// bytes a record, as both write it). Counters give each side's median wall and CPU time
// (user + system, from the kernel's accounting of the finished child) and the ratios; on a shared
// machine the CPU ratio is the steadier one.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

struct Timing {
    double wall = 0, cpu = 0;
};

// Runs `args` with its output thrown away; false when it cannot be started or fails.
bool RunChild(const std::vector<std::string>& args, Timing& timing) {
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return false;
    timing.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    timing.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Images {
    Images() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tavrin-convert-XXXXXX").string();
        dir = ::mkdtemp(pattern.data()) ? pattern : std::string("/tmp");
        bin = dir + "/image.bin";
        hex = dir + "/image.hex";
        std::string bytes(4 << 20, '\0');
        std::mt19937 rng(1);
        for (char& c : bytes) c = char(rng());
        std::ofstream(bin, std::ios::binary) << bytes;
        Timing unused;
        ok = RunChild({TAVRIN_CLI, "convert", bin, hex}, unused);
    }
    ~Images() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
    std::string dir, bin, hex;
    bool ok = false;
};

void Compare(benchmark::State& state, bool hexToBinary) {
    static Images images;
    Timing probe;
    if (!RunChild({"srec_cat", "-version"}, probe)) return state.SkipWithError("no srec_cat");
    if (!images.ok) return state.SkipWithError("tavrin convert failed");
    const std::string& in = hexToBinary ? images.hex : images.bin;
    const std::string out = images.dir + (hexToBinary ? "/out.bin" : "/out.s");
    const std::vector<std::string> ours = {TAVRIN_CLI, "convert", in, out};
    const std::vector<std::string> theirs =
        hexToBinary ? std::vector<std::string>{"srec_cat", in, "-Intel", "-o", out, "-Binary"}
                    : std::vector<std::string>{
                          "srec_cat",          in,        "-Binary",        "-o", out, "-Motorola",
                          "-address-length=4", "-obs=16", "-disable=header"};
    std::vector<double> oursWall, oursCpu, theirWall, theirCpu;
    for (auto _ : state) {
        Timing a, b;
        if (!RunChild(ours, a) || !RunChild(theirs, b)) return state.SkipWithError("run failed");
        oursWall.push_back(a.wall), oursCpu.push_back(a.cpu);
        theirWall.push_back(b.wall), theirCpu.push_back(b.cpu);
        state.SetIterationTime(a.wall);
    }
    state.counters["ours_wall_ms"] = 1000 * Median(oursWall);
    state.counters["srec_cat_wall_ms"] = 1000 * Median(theirWall);
    state.counters["ours_cpu_ms"] = 1000 * Median(oursCpu);
    state.counters["srec_cat_cpu_ms"] = 1000 * Median(theirCpu);
    state.counters["wall_x"] = Median(theirWall) / std::max(1e-9, Median(oursWall));
    state.counters["cpu_x"] = Median(theirCpu) / std::max(1e-9, Median(oursCpu));
}

void BM_ConvertProcessHexToBinaryVsSrecCat(benchmark::State& state) {
    Compare(state, true);
}
BENCHMARK(BM_ConvertProcessHexToBinaryVsSrecCat)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7);

void BM_ConvertProcessBinaryToSRecordVsSrecCat(benchmark::State& state) {
    Compare(state, false);
}
BENCHMARK(BM_ConvertProcessBinaryToSRecordVsSrecCat)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(7);

}  // namespace
