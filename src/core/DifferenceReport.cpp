#include "core/DifferenceReport.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "buffer/FileOutput.h"
#include "core/Commands.h"
#include "core/ReadPassFrontEnd.h"
#include "core/RunFrame.h"

namespace tavrin {

bool ProgramsOnlyOneToZero(int32_t eep) {
    switch (eep) {
        case 0:
        case 13:
        case 24:  // UV EPROM, W27x / SST27SF
        case 3:
        case 19:
        case 30:
        case 31:  // 28F flash
        case 4:
        case 12:
        case 15:
        case 23:
        case 27:  // JEDEC flash
        case 25:
        case 26:  // SST28SF / LE28F flash
        case 10:
        case 11:
        case 28:
        case 29:  // MCS-51, MCS-48
        case 14:  // AVR flash
        case 16:
        case 18:  // PIC OTP / EPROM
            return true;
        default:
            return false;
    }
}

std::vector<CompareBlock> CompareBlocks(const DeviceProfile& p) {
    const bool rule = ProgramsOnlyOneToZero(p.eep);
    std::vector<CompareBlock> blocks;
    // A byte image is compared as far as the verify routines go: index 0 through bufferLoaded
    // clipped to bufferSize - 1, inclusive.
    if (!p.PIC && p.eep != 14) {
        const int64_t last = std::min<int64_t>(p.bufferLoaded, int64_t(p.bufferSize) - 1);
        const SaveBlock b = ClampedBlock(0, p.bufferLoaded == 0 ? 0 : last + 1);
        return {{b.first, b.count, rule}};
    }
    for (const SaveBlock& b : HexSaveBlocks(p)) blocks.push_back({b.first, b.count, rule});
    if (p.eep == 14) {  // the EEPROM area writes either way
        const SaveBlock e = EepSaveBlock(p);
        blocks.push_back({e.first, e.count, false});
    }
    return blocks;
}

std::vector<CompareBlock> InAddressOrder(std::vector<CompareBlock> blocks) {
    std::sort(blocks.begin(), blocks.end(),
              [](const CompareBlock& a, const CompareBlock& b) { return a.first < b.first; });
    return blocks;
}

DifferenceReport CompareImages(const uint8_t* file, const uint8_t* chip,
                               const std::vector<CompareBlock>& blocks, size_t listLimit) {
    DifferenceReport r;
    const std::vector<CompareBlock> sorted = InAddressOrder(blocks);
    for (const CompareBlock& b : sorted) {
        r.compared += b.count;
        for (uint32_t a = b.first; a < b.first + b.count; ++a) {
            if (file[a] == chip[a]) continue;
            ++r.differing;
            const unsigned lost = file[a] & ~chip[a] & 0xFF;  // 1 in the file, 0 in the chip
            const unsigned gained = ~file[a] & chip[a] & 0xFF;
            r.bitsOneToZero += std::popcount(lost);
            r.bitsZeroToOne += std::popcount(gained);
            if (lost && b.oneToZeroOnly) r.mustErase = true;
            if (r.first.size() < listLimit) r.first.push_back({a, chip[a], file[a]});
            r.addresses.push_back(a);
        }
    }
    return r;
}

bool ReadAndCompare(Context& ctx, DifferenceReport& report, size_t listLimit) {
    report = {};
    if (ctx.profile.bufferSize != 0 && ctx.profile.bufferLoaded == 0) {
        Message(ctx, "Please load some information to compare against", MessageKind::Error);
        return false;
    }
    const std::vector<uint8_t> file(ctx.Buffer.begin(), ctx.Buffer.end());
    const DeviceProfile before = ctx.profile;
    FrontEnd& user = ctx.ui();
    ReadPassFrontEnd pass(user);
    ctx.setFrontEnd(&pass);
    RunCommand(ctx, Command::Read);
    ctx.setFrontEnd(&user);
    const bool ran = !pass.failed() && ctx.profile.cancelRequested == 0 && ctx.profile.hwError == 0;
    if (ran)
        report = CompareImages(file.data(), ctx.Buffer.data(), CompareBlocks(before), listLimit);
    std::copy(file.begin(), file.end(), ctx.Buffer.begin());
    // The file's profile again, with what the read pass tells of its end.
    const int32_t cancelled = ctx.profile.cancelRequested, hwError = ctx.profile.hwError;
    ctx.profile = before;
    ctx.profile.cancelRequested = cancelled;
    ctx.profile.hwError = hwError;
    user.refresh();
    return ran;
}

std::string DifferenceSummary(const DifferenceReport& r) {
    if (r.differing == 0)
        return Format("No differences in %llu bytes", (unsigned long long)r.compared);
    return Format("%llu byte%s of %llu differ%s (bits 1->0: %llu, 0->1: %llu)",
                  (unsigned long long)r.differing, r.differing == 1 ? "" : "s",
                  (unsigned long long)r.compared, r.differing == 1 ? "s" : "",
                  (unsigned long long)r.bitsOneToZero, (unsigned long long)r.bitsZeroToOne);
}

}  // namespace tavrin
