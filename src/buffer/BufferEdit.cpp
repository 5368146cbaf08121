#include "buffer/BufferEdit.h"

#include <algorithm>
#include <cctype>

namespace tavrin {

namespace {

bool validArea(const EditArea& a) {
    return (a.width == 1 || a.width == 2) && a.stride >= a.width;
}

// Cells of the area that lie wholly inside the image.
uint32_t cellsInImage(const std::vector<uint8_t>& image, const EditArea& a) {
    if (!validArea(a) || a.base + uint64_t{a.width} > image.size()) return 0;
    const uint64_t fit = (image.size() - a.base - a.width) / a.stride + 1;
    return uint32_t(std::min<uint64_t>(a.cells, fit));
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<uint16_t> CellValue(const std::vector<uint8_t>& image, const EditArea& area,
                                  uint32_t cell) {
    if (cell >= cellsInImage(image, area)) return std::nullopt;
    const size_t at = area.base + size_t{cell} * area.stride;
    uint16_t v = image[at];
    if (area.width == 2) v = uint16_t(v | image[at + 1] << 8);
    return v;
}

template <typename Put>
int64_t BufferEdit::change(const EditArea& area, uint32_t first, uint32_t last, Put put,
                           bool repeats) {
    if (first > last || last >= cellsInImage(image_, area)) return -1;
    const size_t lo = area.base + size_t{first} * area.stride;
    const size_t hi = area.base + size_t{last} * area.stride + area.width;
    std::vector<uint8_t> before(image_.begin() + lo, image_.begin() + hi);
    for (uint32_t cell = first; cell <= last; ++cell) {
        const uint16_t v = put(cell) & area.mask;
        const size_t at = area.base + size_t{cell} * area.stride;
        image_[at] = uint8_t(v);
        if (area.width == 2) image_[at + 1] = uint8_t(v >> 8);
    }
    // Only the span from the first to the last changed byte goes into the history.
    size_t d0 = 0, d1 = before.size();
    while (d0 < d1 && before[d0] == image_[lo + d0]) ++d0;
    if (d0 == d1) return 0;
    while (before[d1 - 1] == image_[lo + d1 - 1]) --d1;
    int64_t changed = 0;
    for (size_t i = d0; i < d1; ++i) changed += before[i] != image_[lo + i];

    Step step;
    step.address = uint32_t(lo + d0);
    step.before.assign(before.begin() + ptrdiff_t(d0), before.begin() + ptrdiff_t(d1));
    if (repeats && area.stride == area.width && d1 - d0 > area.width) {
        // A fill repeats one cell: that cell's bytes, from the phase the span starts on.
        for (uint32_t k = 0; k < area.width; ++k) step.after.push_back(image_[lo + d0 + k]);
    } else {
        step.after.assign(image_.begin() + ptrdiff_t(lo + d0), image_.begin() + ptrdiff_t(lo + d1));
    }
    for (const Step& s : redo_) historyBytes_ -= s.bytes();
    redo_.clear();
    push(undo_, std::move(step));
    return changed;
}

int64_t BufferEdit::write(const EditArea& area, uint32_t cell, std::span<const uint16_t> values) {
    if (values.empty()) return 0;
    if (uint64_t{cell} + values.size() - 1 > UINT32_MAX) return -1;
    return change(
        area, cell, uint32_t(cell + values.size() - 1),
        [&](uint32_t c) { return values[c - cell]; }, false);
}

int64_t BufferEdit::fill(const EditArea& area, uint32_t first, uint32_t last, uint16_t value) {
    return change(
        area, first, last, [value](uint32_t) { return value; }, true);
}

void BufferEdit::apply(const Step& step, bool forward) {
    const std::vector<uint8_t>& bytes = forward ? step.after : step.before;
    const size_t n = step.before.size();
    if (bytes.size() == n) {
        std::copy(bytes.begin(), bytes.end(), image_.begin() + step.address);
    } else {
        for (size_t i = 0; i < n; ++i) image_[step.address + i] = bytes[i % bytes.size()];
    }
}

void BufferEdit::push(std::deque<Step>& stack, Step step) {
    historyBytes_ += step.bytes();
    stack.push_back(std::move(step));
    // The oldest steps go first; the newest one always stays.
    while (historyBytes_ > kHistoryLimit && undo_.size() > 1) {
        historyBytes_ -= undo_.front().bytes();
        undo_.pop_front();
    }
}

std::optional<uint32_t> BufferEdit::undo() {
    if (undo_.empty()) return std::nullopt;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    historyBytes_ -= step.bytes();
    apply(step, false);
    const uint32_t at = step.address;
    push(redo_, std::move(step));
    return at;
}

std::optional<uint32_t> BufferEdit::redo() {
    if (redo_.empty()) return std::nullopt;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    historyBytes_ -= step.bytes();
    apply(step, true);
    const uint32_t at = step.address;
    push(undo_, std::move(step));
    return at;
}

void BufferEdit::clearHistory() {
    undo_.clear();
    redo_.clear();
    historyBytes_ = 0;
}

std::optional<FindHit> FindCells(const std::vector<uint8_t>& image, const EditArea& area,
                                 std::span<const uint16_t> pattern, uint32_t from,
                                 uint16_t compareMask) {
    const uint32_t cells = cellsInImage(image, area);
    if (pattern.empty() || pattern.size() > cells) return std::nullopt;
    const uint32_t lastStart = cells - uint32_t(pattern.size());
    auto matches = [&](uint32_t start) {
        for (size_t k = 0; k < pattern.size(); ++k)
            if ((*CellValue(image, area, start + uint32_t(k)) ^ pattern[k]) & compareMask)
                return false;
        return true;
    };
    for (uint32_t c = from; c <= lastStart; ++c)
        if (matches(c)) return FindHit{c, false};
    for (uint32_t c = 0; c < from && c <= lastStart; ++c)
        if (matches(c)) return FindHit{c, true};
    return std::nullopt;
}

std::optional<std::vector<uint16_t>> ParseHexCells(std::string_view text, uint32_t width) {
    if (width != 1 && width != 2) return std::nullopt;
    const size_t digits = 2 * width;
    std::vector<uint16_t> cells;
    size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ',') {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < text.size() && hexDigit(text[end]) >= 0) ++end;
        const size_t n = end - i;
        if (n == 0 || (n > digits && n % digits != 0)) return std::nullopt;
        if (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) &&
            text[end] != ',')
            return std::nullopt;
        for (size_t at = i; at < end;) {
            const size_t take = std::min(digits, end - at);
            uint16_t v = 0;
            for (size_t k = 0; k < take; ++k) v = uint16_t(v << 4 | hexDigit(text[at + k]));
            cells.push_back(v);
            at += take;
        }
        i = end;
    }
    if (cells.empty()) return std::nullopt;
    return cells;
}

std::optional<uint32_t> ParseHexNumber(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.starts_with("$"))
        text.remove_prefix(1);
    else if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    if (text.empty() || text.size() > 8) return std::nullopt;
    uint32_t v = 0;
    for (char c : text) {
        const int d = hexDigit(c);
        if (d < 0) return std::nullopt;
        v = v << 4 | uint32_t(d);
    }
    return v;
}

}  // namespace tavrin
