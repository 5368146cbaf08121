#include "algorithms/DiffWrite.h"

#include <algorithm>
#include <map>

#include "algorithms/parallel/SectorWrite.h"
#include "algorithms/serial/Eeprom24C.h"
#include "algorithms/serial/Eeprom25C.h"
#include "core/Dispatch.h"
#include "core/RunFrame.h"
#include "core/RunWatch.h"

namespace tavrin {

namespace {

// Passes everything on to the front end of the command, except that the status texts of the read
// before the write stay back (errors still show), and a question asked twice (the offset
// question of the read and of the program routine) is answered the second time as the first.
class DiffFrontEnd : public WatchingFrontEnd {
  public:
    using WatchingFrontEnd::WatchingFrontEnd;
    void message(const std::string& text, MessageKind kind) override {
        if (reading && kind != MessageKind::Error) return;
        WatchingFrontEnd::message(text, kind);
    }
    bool confirm(const std::string& question) override {
        auto [it, fresh] = answers_.try_emplace(question, false);
        if (fresh) it->second = WatchingFrontEnd::confirm(question);
        return it->second;
    }
    bool reading = false;

  private:
    std::map<std::string, bool> answers_;
};

// What the read routine changes besides the image and the plan must not see: the loaded extent,
// the size an offset question shortened, the caption, and the 25C protection the user chose
// (the read shows what the chip holds).
struct ReadSideEffects {
    explicit ReadSideEffects(const Context& ctx)
        : bufferLoaded(ctx.profile.bufferLoaded),
          bufferSize(ctx.profile.bufferSize),
          spiStatus(ctx.profile.spiStatus),
          caption(ctx.controls.caption),
          bpItem(ctx.controls.cb25CxxxBPItem),
          wpenChecked(ctx.controls.cbWPEN25CChecked) {}
    void restore(Context& ctx) const {
        ctx.profile.bufferLoaded = bufferLoaded;
        ctx.profile.bufferSize = bufferSize;
        ctx.profile.spiStatus = spiStatus;
        ctx.controls.caption = caption;
        ctx.controls.cb25CxxxBPItem = bpItem;
        ctx.controls.cbWPEN25CChecked = wpenChecked;
    }
    uint32_t bufferLoaded;
    int32_t bufferSize, spiStatus;
    std::string caption;
    int bpItem;
    bool wpenChecked;
};

const char* unitName(const DeviceProfile& p, uint32_t unit) {
    if (p.eep == 8 && unit == 2) return "words";
    return unit == 1 ? "bytes" : "pages";
}

}  // namespace

uint32_t DiffWriteUnit(const DeviceProfile& p) {
    switch (p.eep) {
        case 5:   // 28C byte writes
        case 20:  // DS12xx non-volatile SRAM modules
        case 1:   // 24C01 ... 24C16, byte by byte
            return 1;
        case 7:  // AT28C: whole pages after the unlock
            return uint32_t(SectorSize(p));
        case 2:  // 24C32 ... 24C512 page writes
            return uint32_t(PageSize24C(p));
        case 6:  // 25C: bytes or pages, as the part writes them
            return uint32_t(WriteUnit25C(p));
        case 8:  // 93C: the WRITE instruction erases its word itself
            return std::max<uint32_t>(1, uint32_t(p.cmd93C.wordBytes));
        default:
            return 0;
    }
}

std::string DiffWriteFamiliesText() {
    return "28C, AT28C, DS12xx, 24C, 25C and 93C EEPROMs";
}

WritePlan PlanWrites(const uint8_t* chip, const uint8_t* image, int64_t count, uint32_t unit) {
    WritePlan plan;
    plan.unit = std::max<uint32_t>(unit, 1);
    if (count <= 0) return plan;
    plan.write.assign(size_t((count + plan.unit - 1) / plan.unit), 0);
    for (int64_t i = 0; i < count; ++i)
        if (chip[i] != image[i]) plan.write[size_t(i / plan.unit)] = 1;
    return plan;
}

PlanSummary Summarise(const WritePlan& plan, int64_t count) {
    PlanSummary s;
    s.units = plan.write.size();
    for (size_t k = 0; k < plan.write.size(); ++k) {
        if (!plan.write[k]) continue;
        ++s.unitsToWrite;
        const int64_t first = int64_t(k) * plan.unit;
        s.bytesToWrite += uint64_t(std::min<int64_t>(plan.unit, count - first));
    }
    return s;
}

void ProgramDifferential(Context& ctx) {
    DeviceProfile& p = ctx.profile;
    const FamilyRow& row = FamilyFor(p.eep);
    const uint32_t unit = DiffWriteUnit(p);
    if (unit == 0 || row.read.kind != Action::Kind::Run || row.program.kind != Action::Kind::Run) {
        Message(ctx, "Differential write is offered for " + DiffWriteFamiliesText() + " only",
                MessageKind::Error);
        return;
    }
    DiffFrontEnd front(ctx.ui());
    ScopedWatch watch(ctx, front);
    struct PlanReset {
        Context& ctx;
        ~PlanReset() {
            ctx.writePlan.clear();
            ctx.bus.PowerDown();
        }
    } planReset{ctx};

    // The chip into the buffer, then the image back.
    const std::vector<uint8_t> image = ctx.Buffer;
    const ReadSideEffects kept(ctx);
    p.bufferLoaded = 0;  // a read that got to the end sets it
    front.reading = true;
    row.read.routine(ctx);
    front.reading = false;
    const bool readComplete = p.bufferLoaded != 0 && p.cancelRequested == 0;
    const std::vector<uint8_t> chip = ctx.Buffer;
    std::copy(image.begin(), image.end(), ctx.Buffer.begin());
    kept.restore(ctx);
    if (!readComplete) {
        if (!front.firstError) Message(ctx, "program interrupted!", MessageKind::Error);
        p.verifyError = 1;
        return;
    }

    const int64_t count =
        p.bufferSize <= 0 ? 0 : std::min<int64_t>(int64_t(p.bufferLoaded) + 1, p.bufferSize);
    ctx.writePlan = PlanWrites(chip.data(), image.data(), count, unit);
    const PlanSummary s = Summarise(ctx.writePlan, count);
    const char* name = unitName(p, ctx.writePlan.unit);
    Message(ctx,
            Format("Differential write: %llu of %llu %s differ, %llu bytes to write",
                   (unsigned long long)s.unitsToWrite, (unsigned long long)s.units, name,
                   (unsigned long long)s.bytesToWrite),
            MessageKind::Progress);
    row.program.routine(ctx);
}

}  // namespace tavrin
