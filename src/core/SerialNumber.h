#pragma once
// Serial numbers written into the image before each chip is programmed: where, how many bytes,
// in which byte order and form, and the next number kept in a small state file. The number
// moves on only after a chip passed.

#include <cstdint>
#include <optional>
#include <string>

#include "core/Context.h"

namespace tavrin {

struct SerialNumberPlan {
    enum class Form { BinaryLittle, BinaryBig, HexLittle, HexBig };
    uint32_t address = 0;  // buffer index of the first byte
    int bytes = 0;         // bytes in the image (ASCII-hex: characters, two per value byte)
    uint64_t start = 1;    // the first number when the state file does not exist yet
    uint64_t step = 1;
    Form form = Form::BinaryLittle;
};

// "ADDR:BYTES[:START[:STEP]]", numbers in C notation (0x.. hexadecimal); BYTES 1..8 (ASCII-hex:
// 2..16 and even). False with `error` set on bad input.
bool ParseSerialPlan(const std::string& text, SerialNumberPlan& plan, std::string& error);
// "le", "be", "hex-le", "hex-be".
bool ParseSerialForm(const std::string& text, SerialNumberPlan::Form& form);

// The image bytes of `value`; empty when it does not fit.
std::string SerialBytes(const SerialNumberPlan& plan, uint64_t value);

// Writes `value` into the buffer (the loaded extent grows to cover it). False with `error` when
// the number does not fit its bytes or the bytes lie past the device.
bool StampSerial(Context& ctx, const SerialNumberPlan& plan, uint64_t value, std::string& error);

// The state file: one line "next=<decimal>".
class SerialState {
  public:
    explicit SerialState(std::string path) : path_(std::move(path)) {}
    // The number for the next chip: the file's, or the plan's start when there is no file.
    // False with `error` when the file exists but cannot be read.
    bool next(const SerialNumberPlan& plan, uint64_t& value, std::string& error) const;
    // After a chip passed: stores `used` + step.
    bool advance(const SerialNumberPlan& plan, uint64_t used, std::string& error) const;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace tavrin
