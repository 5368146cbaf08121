// tavrin: every command of the programmer from a script, on the simulated board by default.
#include "cli/CliApp.h"

int main(int argc, char** argv) { return tavrin::cli::RunCli(argc, argv); }
