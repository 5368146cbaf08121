#pragma once
// The selected device, the user's options and the run state. Every field starts at 0 ("no device")
// until a selection handler or the settings loader fills it.

#include <cstdint>
#include <string>
#include <vector>

#include "core/SerialCommands.h"

namespace tavrin {

// The fields that ResetProfile saves and RestoreProfile puts back (a menu Tag of 0 keeps the
// previous device in force).
struct SavedProfile {
    int32_t tWC = 0, tWP = 0, ShiftAdr = 0, epr64 = 0, eep = 0, swap = 0, pin28 = 0, pin30 = 0,
            serial = 0, PIC = 0, fixedShift = 0, keepVpp = 0, skipFF = 0, fastPro = 0;
};

// The AVR high-voltage programming record: the address-register patterns that steer XA1/XA0/BS and
// the XTAL1, /WR and /OE strobes, the command bytes, and the bytes moved by the last access. Reset
// on every AVR selection and every entry into programming mode.
struct AvrControl {
    uint32_t selLoadAddress = 0;       // XA1, XA0 = 0, 0
    uint32_t selLoadData = 0x80;       // XA1, XA0 = 0, 1
    uint32_t selLoadCommand = 0x200;   // XA1, XA0 = 1, 0
    uint32_t selLowByte = 0;           // BS = 0
    uint32_t selHighByte = 0x100;      // BS = 1
    uint32_t loadStrobe = 0x18000;     // the strobe pulses XTAL1
    uint32_t writeStrobe = 0x60000;    // the strobe pulls /WR low
    uint32_t readStrobe = 0x40000;     // the strobe pulls /OE low
    uint8_t cmdChipErase = 0x80, cmdWriteFuse = 0x40, cmdWriteLock = 0x20, cmdWriteFlash = 0x10,
            cmdReadSignature = 0x08, cmdReadFuseLock = 0x04, cmdReadFlash = 0x02,
            cmdEepromBit = 0x01;
    uint8_t signature[3] = {0, 0, 0};
    uint8_t dataLow = 0, dataHigh = 0;
    uint8_t lockRead = 0;              // lock bits (and fuses) as AvrReadLock found them
    uint8_t fuseRead = 0;              // fuse bits as AvrReadFuse found them
    int32_t writePulse = 15;           // /WR low for flash, EEPROM and lock writes (tWLWH)
    int32_t writeWait = 1600;          // after a write, about 1.34 ms (tWLRH is 0.9 ms at most)
    int32_t fusePulse = 1670;          // /WR low for a fuse write, 1.40 ms (tWLWH_PFB 1.0-1.8 ms)
};

struct DeviceProfile {
    // Selection fields, written by the device-selection handlers.
    int32_t eep = 0;         // family code 0..31, the dispatch key of every command
    int32_t DeviceID = 0;    // Tag of the chosen device menu item
    int32_t tWP = 0;         // program pulse width, delay units (0.8381 us)
    int32_t tWC = 0;         // write-cycle / recovery time, delay units
    int32_t addStep = 0;     // added to the pulse width after each failed attempt
    int32_t ShiftAdr = 0;    // number of the highest address bit; SetAddress clocks ShiftAdr + 1
    uint32_t PatternAdr = 0; // 1 << ShiftAdr, the first mask of SetAddress
    int32_t fixedShift = 0;  // 1 = ShiftAdr set by the handler, not derived from the size
    int32_t epr64 = 0;       // separate /PGM pin: the strobe stays released while reading
    int32_t keepVpp = 0;     // Vpp may stay applied for the check read after a pulse
    int32_t swap = 0;        // addresses pass through SwapAddress
    int32_t PIC = 0;         // PIC: the buffer holds 14-bit words
    int32_t serial = 0;      // serial device: commands skip CheckHardware
    int32_t pin7 = 0;        // 24Cxxx write-protect pin level
    int32_t AT49F00x = 0;    // 12 V on #RESET/Vpp of 29F00x/49F00x
    int32_t Ssize = 0;       // sector size of page-written devices, bytes (cbSsize overrides it)
    int32_t pageSize = 0;    // the selected part's own page or sector size, as its entry gives it
    int32_t DIP = 0;         // DIP-switch pattern number shown for the device
    int32_t package = 0;     // socket/package code used by the socket picture
    int32_t pin28 = 0;       // OR 0x2000 into every address (6264 SRAM)
    int32_t pin30 = 0;       // OR 0x20000 into every address (28F001, 62512, 628128)
    int32_t qe = 0;          // shown on the Configs page only

    // Option fields, owned by their check boxes.
    uint32_t Offset = 0;     // first device address of a run
    int32_t fastPro = 0;
    int32_t sequ = 0;        // 1 = command addresses 0x5555/0x2AAA, 0 = 0x555/0x2AA
    int32_t skipFF = 0;
    int32_t fujitsuFast = 0;
    int32_t fastErase = 0;
    int32_t tavrin = 0;      // board variant: 1 "PCB3", 0 "Tavrin"; pictures only
    // Production options; a device selection keeps them.
    int32_t idCheck = 0;     // Program and Erase first compare the chip's ID with the entry's
    // (the window and tavrin switch it on at start-up; routines driven directly run without it)
    int32_t diffWrite = 0;   // EEPROM families: read first, write only what differs
    // DIP-switch check before power: on for real ports (the simulated board has no switches).
    int32_t dipCheck = 0;
    std::string dipConfirmed;          // jumper and switch digits the user last confirmed
    std::string dipBoardAcknowledged;  // entry whose other-board warning was accepted

    // Buffer bookkeeping and run state.
    int32_t bufferSize = 0;    // bytes (PIC: program words) of the selected device; 0 = none
    int32_t deviceSize = 0;    // size last given to SetBufferSize
    uint32_t bufferLoaded = 0; // extent of the loaded or read data; 0 = nothing loaded
    int32_t cancelRequested = 0;
    int32_t hwError = 0;
    int32_t verifyError = 0;
    int32_t quietVerify = 0;

    // PIC and AVR areas of the buffer.
    int32_t picProgWords = 0, picDataBytes = 0, picIdBase = 0, picIdCount = 0, picCfgIndex = 0;
    int32_t picConfig = 0;
    int32_t picID = 0;  // identifier words packed as nibbles (rebuilt by the load command)
    // PIC configuration: fill of the bits outside cfgMask, the bits the options and routines
    // handle, the checksum of a blank part and the constant its 14-bit blank sum adds.
    int32_t picCfgFill = 0, cfgMask = 0, bkCode = 0, blankAdjust = 0;
    // Indexes into the PIC option value records and option name blocks.
    int32_t picOptionRecord = 0, picNameBlock = 0;
    // The option values the configuration word is composed from: oscillator, code protection,
    // brown-out, and the eight option boxes (Tags 1..8).
    int32_t picOscValue = 0, picCpValue = 0, picBorValue = 0;
    int32_t picBoxValue[8] = {};
    // 1 = the 12C50x factory calibration word (last program word) may be overwritten.
    int32_t picWriteOsccal = 0;
    int32_t avrFlashSize = 0, avrEepromBase = 0, avrEepromSize = 0;

    // AVR options and per-part facts (pAVRsetting). avrLockMode 1..3 is the radio button chosen;
    // avrFuse the fuse byte the check boxes compose (bit set = unprogrammed); avrFuseMask the fuse
    // bits the part has; avrSplitFuseRead 1 when the part gives its fuses with BS low and its lock
    // bits apart with BS high (AT90S2333/4433), 0 when one byte with BS high holds both.
    int32_t avrLockMode = 0;
    int32_t avrFuse = 0;
    int32_t avrFuseMask = 0;
    int32_t avrSplitFuseRead = 0;
    int32_t avrTWP = 0, avrTWC = 0;  // the timing track bars' values last set for AVR devices
    // 1 = an EEP file went into the EEPROM image since the last flash load (which refills the
    // image with 0xFF): with no flash data loaded, Program and Verify cover the EEPROM alone.
    int32_t avrEepromLoaded = 0;
    AvrControl avrControl;

    // Serial EEPROMs: the Microwire instruction record, the SPI one, the SPI status byte the
    // protection controls set (bits 3..2 BP1..BP0, bit 7 WPEN) and the SPI page size.
    Cmd93C cmd93C;
    Cmd25C cmd25C;
    int32_t spiStatus = 0;
    int32_t spiPage = 0;

    // Checksum type of cbCheckType: 0 "16 Bit Addition", 1 "32 Bit CRC" (2 counts as CRC).
    int32_t checkType = 0;

    SavedProfile saved;
};

// Texts and enable states of the option controls that the profile operations change; the window
// mirrors them on refresh, the command-line tool ignores them.
struct OptionControls {
    std::string cb5555Caption = "( 5555,2AAA,5555,.. )";
    bool cb5555Visible = false;
    std::string edOffsetText = "0000";
    bool edOffsetEnabled = true;
    std::string caption = "Tavrin Eprom Prog(0.95B)- "; // main window caption
    std::string edDevice;                               // caption of the selected menu item
    // Jumper digit and the twelve switch digits of the DIP pattern on show; blanks until the
    // first pattern is shown, and kept when a number without a pattern is shown.
    std::string dipDigits = std::string(13, ' ');
    std::string lbAdapter;           // text under "Request Adapter" for adapter parts
    bool cbProtectEnabled = false;   // "Temporary Sector Unprotect" (checked = AT49F00x)
    std::string cbFbit0Caption = "FSTRT";  // AVR fuse box 0: the part's bit 0
    bool avrFuseBoxes1to4Enabled = false;  // CKSEL1, CKSEL2, BODEN, BODLEVEL
    // 25Cxxx protection: the items of cb25CxxxBP, the one shown, and the WPEN box.
    std::vector<std::string> cb25CxxxBPItems;
    int cb25CxxxBPItem = 0;
    bool cbWPEN25CVisible = false;
    bool cbWPEN25CChecked = false;
};

}  // namespace tavrin
