#pragma once
// Whether the data of a Program or Verify run fits the device, so that no byte is dropped
// behind a success message.
//
// Byte-wide families: the loaded extent plus Offset must not exceed deviceSize. PIC and AVR:
// every unit the file put outside the areas the family programs (program, identifier and
// configuration words and data EEPROM; flash and EEPROM) counts as left out. An Offset at or
// past the end of the device leaves nothing to run on and is refused for every command.

#include <cstdint>
#include <string>

#include "core/Context.h"
#include "core/Dispatch.h"

namespace tavrin {

struct DataFit {
    enum class Kind { Fits, OffsetPastEnd, LeftOut };
    Kind kind = Kind::Fits;
    uint64_t leftOut = 0;  // bytes (PIC: words) of the data the run would not cover
    std::string unit;      // "bytes" or "words"
};

DataFit CheckDataFit(const Context& ctx, Command command);

// The texts of the refusal and of the question (the window asks it, the command-line tool
// refuses unless told to accept it).
std::string OffsetPastEndText(const DeviceProfile& p);
std::string DataLeftOutQuestion(const Context& ctx, Command command, const DataFit& fit);

// The command frame's step: refuses an offset past the end, asks about data that does not fit
// (through FrontEnd::confirmTruncation) and shows why the command stops. True when it may run.
bool ConfirmDataFit(Context& ctx, Command command);

}  // namespace tavrin
