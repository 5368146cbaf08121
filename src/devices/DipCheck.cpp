#include "devices/DipCheck.h"

#include <algorithm>

#include "core/RunFrame.h"
#include "devices/DipPatterns.h"

namespace tavrin {

namespace {

constexpr size_t kDigits = 1 + kDipSwitches;

bool known(char c) {
    return c != ' ' && c != '\0';
}

std::string setting(int place, char digit) {
    if (place == 0) return std::string(1, digit);
    return digit == '1' ? "ON" : "OFF";
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// The digits shown for the selected device, empty when there are none to set.
std::string wantedDigits(const Context& ctx) {
    const std::string& d = ctx.controls.dipDigits;
    if (ctx.profile.bufferSize == 0 || d.size() < kDigits || !known(d[0])) return {};
    return d.substr(0, kDigits);
}

}  // namespace

std::vector<DipChange> DipChanges(const std::string& confirmed, const std::string& wanted) {
    std::vector<DipChange> changes;
    for (size_t k = 0; k < kDigits && k < wanted.size(); ++k) {
        const char from = k < confirmed.size() && known(confirmed[k]) ? confirmed[k] : ' ';
        if (known(wanted[k]) && from != wanted[k]) changes.push_back({int(k), from, wanted[k]});
    }
    return changes;
}

std::string DipChangesText(const std::vector<DipChange>& changes) {
    std::string text;
    for (const DipChange& c : changes) {
        if (!text.empty()) text += ", ";
        text += c.place == 0 ? "jumper A18/Vpp " : "switch " + std::to_string(c.place) + " ";
        text += setting(c.place, c.to);
        if (known(c.from)) text += " (was " + setting(c.place, c.from) + ")";
    }
    return text;
}

std::string BoardMismatchWarning(const std::string& caption, int32_t tavrin) {
    const bool forPcb3 = caption.find("PCB3") != std::string::npos;
    const bool forTavrin = lower(caption).find("tavrin") != std::string::npos;
    const char* selected = tavrin != 0 ? "PCB3" : "Tavrin";
    if (forPcb3 && tavrin == 0)
        return "\"" + caption + "\" is an entry for the PCB3 board, the " + selected +
               " board is selected";
    if (forTavrin && tavrin != 0)
        return "\"" + caption + "\" is an entry for the Tavrin board, the " + selected +
               " board is selected";
    return {};
}

std::string DipQuestion(const Context& ctx) {
    const DeviceProfile& p = ctx.profile;
    if (p.dipCheck == 0) return {};
    const std::string wanted = wantedDigits(ctx);
    if (wanted.empty()) return {};
    const std::string& caption = ctx.controls.edDevice;
    const std::vector<DipChange> changes = DipChanges(p.dipConfirmed, wanted);
    std::string board = BoardMismatchWarning(caption, p.tavrin);
    if (!board.empty() && p.dipBoardAcknowledged == caption) board.clear();
    if (changes.empty() && board.empty()) return {};
    std::string text = "DIP switches for " + caption + ": ";
    text += changes.empty() ? "as confirmed before" : DipChangesText(changes);
    if (!board.empty()) text += ". " + board;
    return text + ". Are the switches and the jumper set so?";
}

bool ConfirmDipSwitches(Context& ctx) {
    const std::string question = DipQuestion(ctx);
    if (question.empty()) return true;
    if (!ctx.ui().confirm(question)) {
        Message(ctx, "DIP switches not confirmed: the socket was not powered", MessageKind::Error);
        return false;
    }
    DeviceProfile& p = ctx.profile;
    p.dipConfirmed = wantedDigits(ctx);
    if (!BoardMismatchWarning(ctx.controls.edDevice, p.tavrin).empty())
        p.dipBoardAcknowledged = ctx.controls.edDevice;
    return true;
}

}  // namespace tavrin
