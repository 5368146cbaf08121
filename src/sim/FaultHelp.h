#pragma once
// The faults the simulated board can be given (`tavrin --help-faults`, the window's Simulation
// menu); ApplySimFault (sim/ChipFactory.h) takes the same texts.

namespace tavrin {

const char* SimFaultHelp();

}  // namespace tavrin
