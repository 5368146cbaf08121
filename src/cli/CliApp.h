#pragma once

namespace tavrin::cli {

// Runs one `tavrin` invocation; returns the exit status (0 success, 1 operation failed, 2 usage
// or input error, 3 no hardware, 4 cancelled).
int RunCli(int argc, char** argv);

enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2, kExitNoHardware = 3, kExitCancelled = 4 };

}  // namespace tavrin::cli
