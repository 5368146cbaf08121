#pragma once
// The catalogue matrix: every selectable entry of the device menu against its simulated chip,
// each command on a fresh chip, then again with a stuck data bit and with an empty socket. Every
// run must leave the socket unpowered and end on a status message whose kind matches the
// expected outcome table below; a read after program returns the image and a verify after it
// passes, except where a family cannot.
//
// TAVRIN_MATRIX_PRINT=1 prints the observed outcome strings instead of comparing them (to update
// the table), TAVRIN_MATRIX_VERBOSE=1 every message, TAVRIN_MATRIX_ONLY=TEXT limits the run to
// captions containing TEXT.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/Commands.h"
#include "core/Dispatch.h"
#include "core/ImageBuffer.h"
#include "core/ProfileOperations.h"
#include "core/RunFrame.h"
#include "devices/Catalogue.h"
#include "devices/DisplayState.h"
#include "sim/ChipFactory.h"
#include "support/SimRig.h"

namespace tavrin::matrix {

// The steps of one pass, in order. ReadBack reads after Program and compares with the image.
enum Step { kRead, kBlank, kGetId, kProgram, kReadBack, kVerify, kErase, kBlankAfter, kSteps };
inline const char* const kStepNames[kSteps] = {"read",      "blank",  "getid", "program",
                                               "read-back", "verify", "erase", "blank-after"};
inline const Command kStepCommand[kSteps] = {Command::Read,    Command::Blank, Command::GetId,
                                             Command::Program, Command::Read,  Command::Verify,
                                             Command::Erase,   Command::Blank};

enum Fault { kNone, kStuck, kNoChip, kFaults };
inline const char* const kFaultNames[kFaults] = {"none", "stuck", "no-chip"};

// Outcome letters, one per step:
//   S  ends on a success message          F  ends on an error message
//   C  the dispatch answer "Cannot check this Device" / "Cannot Erase this Device"
//   -  shows no message at all (the row offers nothing, or the routine is silent)
//   I  shows a result panel (an ID) and no message
//   P  ends on a progress message
//   x  the fault cannot be put on this chip (the whole pass is skipped)
inline char observe(const RecordingFrontEnd& ui, size_t from, size_t resultsFrom, size_t idsFrom) {
    // The frame's hardware check ("Hardware present ") is not the command's own answer.
    size_t lastOwn = ui.messages.size();
    for (size_t i = from; i < ui.messages.size(); ++i)
        if (ui.messages[i].text != "Hardware present ") lastOwn = i;
    if (lastOwn == ui.messages.size())
        return ui.results.size() > resultsFrom || ui.ids.size() > idsFrom ? 'I' : '-';
    const auto& last = ui.messages[lastOwn];
    if (last.text == "Cannot check this Device" || last.text == "Cannot Erase this Device")
        return 'C';
    switch (last.kind) {
        case MessageKind::Success:
            return 'S';
        case MessageKind::Error:
            return 'F';
        case MessageKind::Progress:
            return 'P';
    }
    return '?';
}

inline bool isPic(int32_t eep) {
    return eep == 16 || eep == 17 || eep == 18;
}

// A small pseudo-random image as a file would give it. PIC images are words of the core's width
// with the configuration word left erased (no code protection).
inline void loadImage(Context& ctx, unsigned seed, uint32_t& compareUnits) {
    DeviceProfile& p = ctx.profile;
    std::mt19937 gen(seed);
    ClearBuf(ctx, 1);
    if (isPic(p.eep)) {
        const uint16_t width = p.eep == 18 ? 0x0FFF : 0x3FFF;
        for (int32_t i = 0; i < p.picProgWords; ++i) {
            uint16_t w = uint16_t(gen() & width);
            if (i == 0) w |= 1;  // bit 0 of the first word must be programmed to 1
            SetBufferWord(ctx, i, w);
        }
        p.bufferLoaded = uint32_t(p.picProgWords);
        compareUnits = uint32_t(p.picProgWords);
    } else {
        const uint32_t n = std::min<uint32_t>(uint32_t(p.bufferSize), 256);
        for (uint32_t i = 0; i < n; ++i) ctx.Buffer[i] = uint8_t(gen());
        ctx.Buffer[0] |= 1;  // the stuck-at-0 fault below must show
        p.bufferLoaded = n;
        compareUnits = n;
    }
    Winstat(ctx);
}

inline bool bufferHolds(const Context& ctx, const std::vector<uint16_t>& image) {
    for (size_t i = 0; i < image.size(); ++i)
        if ((isPic(ctx.profile.eep) ? BufferWord(ctx, int64_t(i)) : ctx.Buffer[i]) != image[i])
            return false;
    return true;
}

struct PassResult {
    std::string outcomes;  // one letter per step
    bool readBackMatches = false;
    std::vector<std::string> problems;
};

inline PassResult runPass(const DeviceEntry& entry, Fault fault) {
    PassResult r;
    test::SimRig rig;
    SelectDevice(rig.ctx, entry);
    rig.board.insert(MakeSimChip(rig.ctx));
    std::string error;
    // The SRAM test writes 0xAA to address 0 before its random pass, so only a bit stuck at 1
    // shows there every time; everywhere else the image's bit 0 at address 0 is a 1.
    const char* stuck = rig.ctx.profile.eep == 21 ? "stuck:0:0=1" : "stuck:0:0=0";
    if (fault == kStuck && !ApplySimFault(rig.board, stuck, error)) {
        r.outcomes = std::string(kSteps, 'x');
        return r;
    }
    if (fault == kNoChip) ApplySimFault(rig.board, "no-chip", error);

    std::vector<uint16_t> image;
    for (int s = 0; s < kSteps; ++s) {
        RecordingFrontEnd& ui = rig.ui;
        if (s == kProgram) {
            uint32_t units = 0;
            loadImage(rig.ctx, 17, units);
            image.clear();
            for (uint32_t i = 0; i < units; ++i)
                image.push_back(isPic(rig.ctx.profile.eep) ? BufferWord(rig.ctx, i)
                                                           : rig.ctx.Buffer[i]);
        }
        if (s == kReadBack) ClearBuf(rig.ctx, 2);
        if (s == kVerify) {
            // Verify compares against the image, whatever the read put in the buffer.
            uint32_t units = 0;
            loadImage(rig.ctx, 17, units);
        }
        // The user answers Yes to every question ("Do you really want program the device ?").
        ui.answers.assign(8, true);
        const size_t from = ui.messages.size(), resultsFrom = ui.results.size(),
                     idsFrom = ui.ids.size();
        RunCommand(rig.ctx, kStepCommand[s]);
        const char o = observe(ui, from, resultsFrom, idsFrom);
        if (std::getenv("TAVRIN_MATRIX_VERBOSE"))
            for (size_t i = from; i < ui.messages.size(); ++i)
                std::cout << "  " << kFaultNames[fault] << " " << kStepNames[s] << ": ["
                          << int(ui.messages[i].kind) << "] " << ui.messages[i].text << "\n";
        r.outcomes += o;
        const std::string where = std::string(kStepNames[s]) + ": ";
        if (rig.board.vccOn() || rig.board.vppOn())
            r.problems.push_back(where + "socket left powered");
        // No success after a failure within one run, and no failure text in a run that ends
        // on success.
        bool failed = false;
        for (size_t i = from; i < ui.messages.size(); ++i) {
            const auto& m = ui.messages[i];
            if (m.kind == MessageKind::Error) failed = true;
            if (m.kind == MessageKind::Success && failed)
                r.problems.push_back(where + "success text '" + m.text + "' after a failure");
        }
        if (o == 'S' && failed) r.problems.push_back(where + "failure text before the success");
        if (s == kReadBack) r.readBackMatches = bufferHolds(rig.ctx, image);
    }
    return r;
}

// Expected outcomes per family code and fault, one letter per step (read, blank, getid,
// program, read-back, verify, erase, blank-after). `readBack` false where a read after program
// cannot return the image. Entries of the table for a single caption override the family's.
struct Expected {
    const char* outcomes[kFaults];
    bool readBack = true;
    const char* note = "";
};

inline const std::map<int32_t, Expected>& familyTable();
inline const std::map<std::string, Expected>& partTable();

inline bool printMode() {
    return std::getenv("TAVRIN_MATRIX_PRINT") != nullptr;
}

inline std::vector<const DeviceEntry*> matrixEntries() {
    std::vector<const DeviceEntry*> out;
    const char* only = std::getenv("TAVRIN_MATRIX_ONLY");
    for (const DeviceEntry& e : DeviceCatalogue())
        if (only && e.caption.find(only) == std::string::npos)
            continue;
        else if (e.enabled && e.selectable && !e.handler.empty())
            out.push_back(&e);
    return out;
}

// Parts above kLargeBytes other than the first of their family run in the slow label.
constexpr int32_t kLargeBytes = 512 * 1024;

// Runs the entries of one half of the matrix: `large` false the first part of every family and
// every part up to kLargeBytes, true the other, larger parts.
inline void RunMatrix(bool large) {
    size_t runs = 0, entries = 0;
    std::set<int32_t> families;
    std::map<std::string, std::string> printed;
    for (const DeviceEntry* e : matrixEntries()) {
        test::SimRig probe;
        SelectDevice(probe.ctx, *e);
        const int32_t eep = probe.ctx.profile.eep;
        if (!MakeSimChip(probe.ctx)) {
            ADD_FAILURE() << e->caption << ": no simulated chip for family " << eep;
            continue;
        }
        const bool firstOfFamily = families.insert(eep).second;
        const bool isLarge = !firstOfFamily && probe.ctx.profile.bufferSize > kLargeBytes;
        if (isLarge != large) continue;
        ++entries;
        const auto started = std::chrono::steady_clock::now();
        const auto part = partTable().find(e->caption);
        const auto fam = familyTable().find(eep);
        const Expected* want = part != partTable().end()    ? &part->second
                               : fam != familyTable().end() ? &fam->second
                                                            : nullptr;
        std::string line;
        for (int f = 0; f < kFaults; ++f) {
            SCOPED_TRACE(e->caption + " (family " + std::to_string(eep) + ", fault " +
                         kFaultNames[f] + ")");
            const PassResult r = runPass(*e, Fault(f));
            runs += kSteps;
            line += r.outcomes + (f == kNone ? (r.readBackMatches ? "+" : "~") : "") + " ";
            for (const std::string& p : r.problems) ADD_FAILURE() << p;
            if (printMode()) continue;
            if (!want) {
                ADD_FAILURE() << "no expected outcomes for family " << eep;
                continue;
            }
            EXPECT_EQ(r.outcomes, want->outcomes[f]) << "steps: read blank getid program "
                                                        "read-back verify erase blank-after";
            if (f == kNone) {
                EXPECT_EQ(r.readBackMatches, want->readBack);
            }
        }
        if (printMode()) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - started);
            std::cout << eep << "\t" << line << "\t" << e->caption << "\t" << ms.count() << " ms\n";
        }
    }
    std::cout << "matrix: " << entries << " entries, " << families.size() << " family codes, "
              << runs << " command runs (" << kSteps << " steps x " << kFaults
              << " faults per entry)\n";
    EXPECT_GT(entries, 0u);
}

// Accepted cases, by letter: read 'P' is the parallel read's "Chip read OK" in the progress
// style; with no chip a parallel read, a blank check and a serial 25C/93C read succeed, since an
// empty socket floats to 0xFF (the board cannot tell). Get ID '-' and 'C' are the dispatch
// answers of rows without an ID or erase routine.
inline const std::map<int32_t, Expected>& familyTable() {
    static const std::map<int32_t, Expected> t = {
        {0, {{"PS-SPSCF", "PF-FPFCF", "PS-FPFCS"}, true}},
        {1, {{"PC-SPSCC", "PC-FPFCC", "FC-FFFCC"}, true}},
        {2, {{"SC-SSSCC", "SC-FSFCC", "FC-FFFCC"}, true}},
        {3, {{"PSISPSSS", "PFIFPFFF", "PSIFPFSS"}, true}},
        {4, {{"PSISPSSS", "PFIFPFFF", "PSIFPFSS"}, true}},
        {5, {{"PS-SPSPS", "PF-FPFFF", "PS-FPFPS"}, true}},
        {6, {{"PC-SPSCC", "PC-FPFCC", "PC-FPFCC"}, true}},
        {7, {{"PS-SPSCF", "PF-FPFCF", "PS-FPFCS"}, true}},
        {8, {{"PC-SPSPC", "PC-FPFPC", "PC-FPFPC"}, true}},
        {9, {{"PSISPSSS", "PFIFPFSF", "PSIFPFSS"}, true}},
        // MCS-51 and AT89Cx051: the chip erase ends on its progress text (no message of its own);
        // with no chip the reads float to 0xFF and pass.
        {10, {{"SSISSSPS", "SFIFSFPF", "SSIFSFPS"}, true}},
        {11, {{"SSISSSPS", "SFIFSFPF", "SSIFSFPS"}, true}},
        {12, {{"PSISPSSS", "PFIFPFSF", "PSIFPFSS"}, true}},
        {13, {{"PS-SPSCF", "PF-FPFCF", "PS-FPFCS"}, true}},
        {14, {{"SSISSSPS", "SFIFSFPF", "SSIFSFPS"}, true}},
        {15, {{"PSISPSSS", "PFIFPFFF", "PSIFPFSS"}, true}},
        {16, {{"SC-SSSCC", "SC-FSFCC", "SC-FSFCC"}, true}},
        {17, {{"SSISSS-S", "SFIFSF-F", "SSIFSF-S"}, true}},
        {18, {{"SS-SSSCF", "SF-FSFCF", "SS-FSFCS"}, false}},
        {19, {{"PSISPSSS", "PFIFPFSF", "PSIFPFFS"}, true}},
        {20, {{"PF-SPSCF", "PF-FPFCF", "PS-FPFCS"}, true}},
        {21, {{"-C-S--CC", "-C-F--CC", "-C-F--CC"}, false}},
        {22, {{"PSISPSSS", "PFIFPFSF", "PSIFPFSS"}, true}},
        {23, {{"PSISPSSS", "PFIFPFFF", "PSIFPFSS"}, true}},
        {24, {{"PS-SPSSS", "PF-FPFFF", "PS-FPFSS"}, true}},
        {25, {{"PSISPSSS", "PFIFPFFF", "PSIFPFSS"}, true}},
        {26, {{"PSISPSSS", "PFIFPFFF", "PSIFPFSS"}, true}},
        {27, {{"PSISPSSS", "PFIFPFFF", "PSIFPFSS"}, true}},
        // MCS-48 EPROM parts: "Cannot Erase this Device", so the chip stays programmed.
        {28, {{"PS-SPSCF", "PS-FPFCF", "PF-FPFCF"}, true}},
        // MCS-48 mask-ROM parts: read and verify only; the ROM never holds the test image.
        {29, {{"PC--PFCC", "PC--PFCC", "PC--PFCC"}, false}},
        {30, {{"PS-SPSSS", "PF-FPFFF", "PS-FPFSS"}, true}},
        {31, {{"PS-SPSSS", "PF-FPFFF", "PS-FPFSS"}, true}},
    };
    return t;
}

inline const std::map<std::string, Expected>& partTable() {
    static const std::map<std::string, Expected> t = {
        // A 28F001BX driven by the status-register commands: it answers as the i28F001BX-T.
        {"28F001", {{"PSISPSSS", "PFIFPFSF", "PSIFPFFS"}, true}},
        {"W27x010  (Vpe 14V)", {{"PS-SPSSS", "PF-FPFSF", "PS-FPFSS"}, true}},
        {"W27x020  (Vpe 14V)", {{"PS-SPSSS", "PF-FPFSF", "PS-FPFSS"}, true}},
        {"SST27SF010  (Vpe 12V)", {{"PS-SPSSS", "PF-FPFSF", "PS-FPFSS"}, true}},
        {"SST27SF020  (Vpe 12V)", {{"PS-SPSSS", "PF-FPFSF", "PS-FPFSS"}, true}},
        // 87C5x EPROM microcontrollers: "Cannot Erase this Device" (UV erase only).
        {"i87x51   (4KB)", {{"SSISSSCF", "SFIFSFCF", "SSIFSFCS"}, true}},
        {"i87x52   (8KB)", {{"SSISSSCF", "SFIFSFCF", "SSIFSFCS"}, true}},
        {"i87x54   (16KB)", {{"SSISSSCF", "SFIFSFCF", "SSIFSFCS"}, true}},
        {"i87x58   (32KB)", {{"SSISSSCF", "SFIFSFCF", "SSIFSFCS"}, true}},
    };
    return t;
}

}  // namespace tavrin::matrix
