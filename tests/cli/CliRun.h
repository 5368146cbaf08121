#pragma once
// Runs the built `tavrin` binary in a child process, and a fixture with a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace tavrin::test {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out, err;
};

struct RunOptions {
    // Sends `signal` once stderr shows `interruptOn` followed by `linesAfter` more lines.
    std::string interruptOn;
    int linesAfter = 0;
    int signal = SIGINT;
    // Standard input (default: /dev/null, so no terminal answers questions).
    std::string stdinFile = "/dev/null";
    // A file-size limit for the child (0: none), as a full disk or quota shows it.
    rlim_t fileSizeLimit = 0;
};

inline Result runToolWith(const std::vector<std::string>& args, const RunOptions& o) {
    int outPipe[2], errPipe[2];
    EXPECT_EQ(pipe(outPipe), 0);
    EXPECT_EQ(pipe(errPipe), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        int input = open(o.stdinFile.c_str(), O_RDONLY);
        dup2(input, 0);
        close(outPipe[0]), close(errPipe[0]);
        if (o.fileSizeLimit) {
            struct rlimit limit {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = o.fileSizeLimit;
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<char*> argv{const_cast<char*>(TAVRIN_CLI)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(TAVRIN_CLI, argv.data());
        _exit(127);
    }
    close(outPipe[1]), close(errPipe[1]);
    Result r;
    bool sent = o.interruptOn.empty();
    // Read stderr first (it carries the progress texts), then stdout.
    char buf[4096];
    for (ssize_t n; (n = read(errPipe[0], buf, sizeof buf)) > 0;) {
        r.err.append(buf, size_t(n));
        if (sent) continue;
        if (const size_t at = r.err.find(o.interruptOn); at != std::string::npos) {
            const size_t tail = at + o.interruptOn.size();
            if (std::count(r.err.begin() + long(tail), r.err.end(), '\n') >= o.linesAfter) {
                kill(pid, o.signal);
                sent = true;
            }
        }
    }
    for (ssize_t n; (n = read(outPipe[0], buf, sizeof buf)) > 0;) r.out.append(buf, size_t(n));
    close(outPipe[0]), close(errPipe[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return r;
}

// Runs the tool with `args`; when `interruptOn` is given, sends SIGINT once stderr shows it.
// Standard input is `stdinFile` (default: /dev/null, so no terminal answers questions).
inline Result runTool(const std::vector<std::string>& args, const std::string& interruptOn = {},
                      const std::string& stdinFile = "/dev/null") {
    RunOptions o;
    o.interruptOn = interruptOn;
    o.stdinFile = stdinFile;
    return runToolWith(args, o);
}

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tavrin-cli-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::string writeImage(const std::string& name, size_t size, unsigned seed) const {
        std::mt19937 rng(seed);
        std::string bytes(size, '\0');
        for (char& c : bytes) c = char(rng() & 0xFF);
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }
    static std::string slurp(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir_;
};

}  // namespace tavrin::test
