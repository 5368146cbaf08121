#include "core/Dispatch.h"

#include "algorithms/mcu/Avr.h"
#include "algorithms/parallel/Flash28F.h"
#include "algorithms/parallel/FlashI28Fx00.h"
#include "algorithms/parallel/FlashSst28SF.h"
#include "algorithms/parallel/Jedec29F.h"
#include "algorithms/parallel/Ds12xx.h"
#include "algorithms/parallel/Eeprom28C.h"
#include "algorithms/parallel/ElectricalEraseEprom.h"
#include "algorithms/parallel/FlashAt29C.h"
#include "algorithms/mcu/Mcs48.h"
#include "algorithms/mcu/Mcs51.h"
#include "algorithms/parallel/ParallelCommon.h"
#include "algorithms/parallel/SectorWrite.h"
#include "algorithms/parallel/StaticRam.h"
#include "algorithms/parallel/UvEprom.h"
#include "algorithms/mcu/Pic.h"
#include "algorithms/serial/Eeprom24C.h"
#include "algorithms/serial/Eeprom25C.h"
#include "algorithms/serial/Eeprom93C.h"

namespace tavrin {

namespace {

constexpr Action run(Routine r) { return {Action::Kind::Run, r}; }
constexpr Action kNothing{};
constexpr Action kCannotCheck{Action::Kind::CannotCheck, nullptr};
constexpr Action kCannotErase{Action::Kind::CannotErase, nullptr};

std::array<FamilyRow, kFamilyCodes> buildTable() {
    std::array<FamilyRow, kFamilyCodes> t{};
    // Frame answers that need no routine: families that cannot be blank-checked or erased.
    for (int eep : {1, 2, 6, 8, 21, 16, 29}) t[eep].blank = kCannotCheck;
    for (int eep : {0, 13, 1, 2, 6, 7, 20, 21, 16, 18, 28, 29}) t[eep].erase = kCannotErase;
    // UV EPROMs, and the electrically erasable ones that program like them.
    for (int eep : {0, 13, 24}) {
        t[eep].read = run(&ReadEprom);
        t[eep].program = run(&ProgramEprom);
        t[eep].verify = run(&VerifyEprom);
        t[eep].blank = run(&BlankCheck);
    }
    t[30].read = run(&ReadEprom);
    t[30].verify = run(&VerifyParallel);
    t[30].blank = run(&BlankCheck);
    // The other parallel families read, verify and blank-check the common way.
    for (int eep : {3, 4, 27, 12, 23, 15, 5, 7, 9, 22, 19, 20, 25, 26, 31}) {
        t[eep].read = run(&ReadParallel);
        t[eep].verify = run(&VerifyParallel);
        t[eep].blank = run(&BlankCheck);
    }
    // Serial EEPROMs (the frame skips the hardware check for them).
    t[1].read = run(&Read24C8);
    t[1].verify = run(&Verify24C8);
    t[1].program = run(&Program24C8);
    t[2].read = run(&Read24C16);
    t[2].verify = run(&Verify24C16);
    t[2].program = run(&Program24C16);
    t[8].read = run(&Read93C);
    t[8].verify = run(&Verify93C);
    t[8].program = run(&Program93C);
    t[8].erase = run(&Erase93C);
    t[6].read = run(&Read25C);
    t[6].verify = run(&Verify25C);
    t[6].program = run(&Program25C);
    // PIC serial programming: 14-bit EPROM (16), 14-bit flash (17), 12-bit EPROM (18).
    for (int eep : {16, 17}) t[eep].read = run(&PicRead14);
    t[18].read = run(&PicRead12);
    t[16].program = run(&PicProgramEprom);
    t[17].program = run(&PicProgramFlash);
    t[18].program = run(&PicProgram12);
    for (int eep : {16, 17, 18}) t[eep].verify = run(&PicVerifyCommand);
    for (int eep : {17, 18}) t[eep].blank = run(&PicBlankCheck);
    t[17].erase = run(&PicErase);
    t[17].getId = run(&PicGetId);
    // JEDEC flash.
    for (int eep : {4, 27}) {
        t[eep].program = run(&ProgramFlash29F);
        t[eep].erase = run(&EraseFlash29F);
        t[eep].getId = run(&ReadId29F);
    }
    t[12].program = run(&ProgramFlash29F);
    t[12].erase = run(&EraseFlash29F);
    t[12].getId = run(&ReadId49F);
    t[23].program = run(&ProgramFlash29F00x);
    t[23].erase = run(&EraseFlash29F);
    t[23].getId = run(&ReadId49F);
    t[15].program = run(&ProgramFlash29Fx00);
    t[15].erase = run(&EraseFlash29Fx00);
    t[15].getId = run(&ReadId29Fx00);
    // AVR microcontrollers in high-voltage parallel mode.
    t[14] = {run(&AvrRead),       run(&AvrProgram), run(&AvrVerify),
             run(&AvrBlankCheck), run(&AvrErase),   run(&AvrGetId)};
    // EEPROMs and page-write flash: byte writes (5), page and sector writes (7, 9, 22).
    t[5].program = run(&Program28C);
    t[5].erase = run(&Fill28C);
    for (int eep : {7, 9, 22}) t[eep].program = run(&ProgramSectors);
    for (int eep : {9, 22}) t[eep].erase = run(&EraseAt29C);
    t[9].getId = run(&ReadIdAt29C);
    t[22].getId = run(&ReadIdW29EE);
    // Electrical erase of the W27x/SST27SF EPROMs; SRAM test; DS12xx modules.
    t[24].erase = run(&EraseW27E);
    t[21].program = run(&TestSram);
    t[20].program = run(&ProgramDs12xx);
    // 28F flash with single-cycle commands and the MXIC parts that share its command bytes.
    t[3].program = run(&Program28F);
    t[3].erase = run(&Erase28F);
    t[30].program = run(&ProgramMx28);
    t[30].erase = run(&EraseMx26C);
    t[31].program = run(&ProgramMx28);
    t[31].erase = run(&EraseMx28F);
    t[3].getId = run(&ReadId28F);
    // Boot-block flash with a status register.
    t[19].program = run(&Program28Fx00);
    t[19].erase = run(&Erase28Fx00);
    t[19].getId = run(&ReadId28Fx00);
    // SST28SF040A (chip erase) and LE28F4001 (sector erase).
    for (int eep : {25, 26}) {
        t[eep].program = run(&ProgramSst28SF);
        t[eep].getId = run(&ReadIdSst28SF);
    }
    t[25].erase = run(&EraseSst28SF);
    t[26].erase = run(&SectorEraseLe28F);
    // MCS-51 (40-pin) and AT89Cx051 (20-pin) share their routines.
    for (int eep : {10, 11}) {
        t[eep].read = run(&ReadMcs51);
        t[eep].program = run(&ProgramMcs51);
        t[eep].verify = run(&VerifyMcs51);
        t[eep].blank = run(&BlankCheckMcs51);
        t[eep].erase = run(&EraseMcs51);
        t[eep].getId = run(&ReadIdMcs51);
    }
    // MCS-48: EPROM parts (28) and mask-ROM parts (29), which only read and verify.
    t[28].read = t[29].read = run(&ReadMcs48);
    t[28].verify = t[29].verify = run(&VerifyMcs48);
    t[28].program = run(&ProgramMcs48);
    t[28].blank = run(&BlankCheckMcs48);
    return t;
}

}  // namespace

const FamilyRow& FamilyFor(int32_t eep) {
    static const FamilyRow empty{};
    return eep >= 0 && eep < kFamilyCodes ? DispatchTable()[eep] : empty;
}

const std::array<FamilyRow, kFamilyCodes>& DispatchTable() {
    static const std::array<FamilyRow, kFamilyCodes> table = buildTable();
    return table;
}

const Action& FamilyRow::operator[](Command c) const {
    switch (c) {
        case Command::Read: return read;
        case Command::Program: return program;
        case Command::Verify: return verify;
        case Command::Blank: return blank;
        case Command::Erase: return erase;
        case Command::GetId: return getId;
    }
    return read;
}

}  // namespace tavrin
