#include "core/IdCheck.h"

#include "algorithms/ElectronicId.h"
#include "core/RunFrame.h"

namespace tavrin {

namespace {

constexpr int32_t kAvrFamily = 14;

// Takes the ID panel of the reader for itself and keeps everything else off the screen; only
// Cancel and questions reach the user.
class IdCapture : public FrontEnd {
  public:
    explicit IdCapture(FrontEnd& inner) : inner_(inner) {}
    void message(const std::string& text, MessageKind kind) override {
        if (kind == MessageKind::Error && error.empty()) error = text;
    }
    void openGauge(const std::string&, int64_t, uint32_t) override {}
    void setGaugeProgress(int64_t) override {}
    void pumpEvents() override { inner_.pumpEvents(); }
    bool confirm(const std::string& question) override { return inner_.confirm(question); }
    void refresh() override {}
    void showResult(const std::string&, const std::string&) override {}
    void inform(const std::string&) override {}
    void showElectronicId(const ElectronicIdView& view) override { id = view; }

    std::optional<ElectronicIdView> id;
    std::string error;

  private:
    FrontEnd& inner_;
};

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string ChipIdText(const ChipId& id) {
    return id.device > 0xFF ? Format("0x%02X/0x%04X", id.maker, id.device)
                            : Format("0x%02X/0x%02X", id.maker, id.device);
}

IdCheckOutcome CheckChipId(Context& ctx, Command command) {
    IdCheckOutcome out;
    DeviceProfile& p = ctx.profile;
    const Action& reader = FamilyFor(p.eep).getId;
    if ((command != Command::Program && command != Command::Erase) ||
        reader.kind != Action::Kind::Run)
        return out;
    if (!p.idCheck) {
        out.kind = IdCheckOutcome::Kind::Off;
        return out;
    }
    const std::vector<ChipId>& accepted = AcceptedIds(ctx.controls.edDevice);
    if (accepted.empty()) {
        out.kind = IdCheckOutcome::Kind::NoCodes;
        return out;
    }
    FrontEnd& ui = ctx.ui();
    IdCapture capture(ui);
    ctx.setFrontEnd(&capture);
    reader.routine(ctx);
    ctx.setFrontEnd(&ui);
    ctx.bus.PowerDown();  // every reader powers down itself; the write must start from cold
    out.kind = IdCheckOutcome::Kind::Refused;
    if (!capture.id) {
        out.message =
            capture.error.empty() ? "ID check: the chip's ID could not be read" : capture.error;
        Message(ctx, out.message, MessageKind::Error);
        return out;
    }
    const ElectronicIdView& v = *capture.id;
    out.read = ChipId{v.manufacturer, v.device};
    for (const ChipId& id : accepted)
        if (id == *out.read) {
            out.kind = IdCheckOutcome::Kind::Passed;
            return out;
        }
    std::string expected;
    for (const ChipId& id : accepted) expected += (expected.empty() ? "" : " or ") + ChipIdText(id);
    std::string name = trimmed(v.manufacturerName + v.deviceName);
    if (name.empty() || name == "[----]") name = "unknown part";
    out.message = "ID check: the chip answers " + ChipIdText(*out.read) + " (" + name + "), " +
                  ctx.controls.edDevice + " is " + expected +
                  "; nothing written. To write anyway turn the ID check off (window: \"Check chip "
                  "ID\", tavrin: --no-id-check)";
    Message(ctx, out.message, MessageKind::Error);
    return out;
}

}  // namespace tavrin
