#pragma once
// What a running routine may ask of whoever shows it: the window, the command-line tool or a test.

#include <cstdint>
#include <string>

namespace tavrin {

enum class MessageKind : int { Progress = 0, Error = 1, Success = 2 };

// The texts of the Electronic ID panel, exactly as shown (names and codes carry a leading blank).
struct ElectronicIdView {
    uint8_t manufacturer = 0;      // raw codes as read
    uint16_t device = 0;           // AVR: second signature byte << 8 | third
    std::string manufacturerName;  // edManufacName
    std::string deviceName;        // edDeviceName
    std::string manufacturerCode;  // edManufacID, " 0x1F"
    std::string deviceCode;        // edDeviceID, " 0xD5" (AVR " 0x9101")
    bool showLock = false;         // AVR only: edLockbit and lbLockbit shown
    std::string lockBit;           // edLockbit, " 0x3F"
    std::string lockMode;          // edLockMode, " Lockbit Mode 3"
};

// Gauge colours the routines pass (Windows 0x00BBGGRR values, kept for the window's palette).
namespace GaugeColor {
inline constexpr uint32_t Read = 0x000000;    // black
inline constexpr uint32_t Blank = 0xFFFFFF;   // white on navy: blank check and erase
inline constexpr uint32_t Program = 0x0000FF; // red
inline constexpr uint32_t Verify = 0x008000;  // green
}  // namespace GaugeColor

class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    // Status line: kind 0 progress (blue), 1 error (red, warning beep), 2 success (black, beep).
    virtual void message(const std::string& text, MessageKind kind) = 0;
    // Opens the progress panel for a routine.
    virtual void openGauge(const std::string& caption, int64_t max, uint32_t color) = 0;
    virtual void setGaugeProgress(int64_t value) = 0;
    // Lets the user act between bytes: a Cancel click (or Ctrl-C) sets cancelRequested here.
    virtual void pumpEvents() = 0;
    // A Yes/No question; true = Yes.
    virtual bool confirm(const std::string& question) = 0;
    // Data of a Program or Verify run that does not fit the device: true = run with only the
    // part that fits. The window asks `question`; the command-line tool answers from its options.
    virtual bool confirmTruncation(const std::string& question) { return confirm(question); }
    // The window refresh (socket picture, labels, checksum).
    virtual void refresh() = 0;
    // Closes the progress panel and re-enables the tool bar after a command.
    virtual void commandFinished() {}
    virtual void setToolbarEnabled(bool) {}
    // Peak read-outs of the UV EPROM program routine: attempts, pulse width and wait.
    virtual void showPeaks(int32_t loop, int32_t twp, int32_t twc) { (void)loop, (void)twp, (void)twc; }
    // Panels that routines show their results on (electronic ID and the like); free text.
    virtual void showResult(const std::string& panel, const std::string& text) { (void)panel, (void)text; }
    // An information box with one OK button; returns when the user closed it.
    virtual void inform(const std::string& text) { showResult("Information", text); }
    // The Electronic ID panel; front ends without fields of their own show it as one text.
    virtual void showElectronicId(const ElectronicIdView& id) {
        std::string text = "Manufacture code" + id.manufacturerCode + id.manufacturerName +
                           "\nDevice code" + id.deviceCode + id.deviceName;
        if (id.showLock) text += "\nLock / Fuse Bit" + id.lockBit + id.lockMode;
        showResult("pIDcode", text);
    }
};

// Discards everything and answers No; used where nobody watches.
class SilentFrontEnd : public FrontEnd {
public:
    void message(const std::string&, MessageKind) override {}
    void openGauge(const std::string&, int64_t, uint32_t) override {}
    void setGaugeProgress(int64_t) override {}
    void pumpEvents() override {}
    bool confirm(const std::string&) override { return false; }
    void refresh() override {}
};

}  // namespace tavrin
