#pragma once
// Editing the device image cell by cell as the grids show it: write, fill and search, with an
// undo history that keeps only the bytes a step changed.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tavrin {

// A run of cells of the image: cell i starts at byte base + i * stride and is `width` bytes wide
// (1, or 2 for a little-endian word); `mask` holds the bits a cell keeps (a PIC word 14 of them).
struct EditArea {
    uint32_t base = 0;
    uint32_t cells = 0;
    uint32_t stride = 1;
    uint32_t width = 1;
    uint16_t mask = 0xFF;
};

// The cell's value, or nullopt outside the area or the image.
std::optional<uint16_t> CellValue(const std::vector<uint8_t>& image, const EditArea& area,
                                  uint32_t cell);

class BufferEdit {
  public:
    explicit BufferEdit(std::vector<uint8_t>& image) : image_(image) {}

    // Both return the number of bytes that changed (0 when the cells already held the values),
    // or -1 when a cell lies outside the area or the image; values are cut to the area's mask.
    int64_t write(const EditArea& area, uint32_t cell, std::span<const uint16_t> values);
    // Cells first to last, both included.
    int64_t fill(const EditArea& area, uint32_t first, uint32_t last, uint16_t value);

    // The byte address of the first byte the step touched, or nullopt with nothing to do.
    std::optional<uint32_t> undo();
    std::optional<uint32_t> redo();
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // For changes made outside this editor (a load, a read): the old steps no longer apply.
    void clearHistory();
    // Bytes the history holds, both directions.
    size_t historyBytes() const { return historyBytes_; }

    // The history drops its oldest steps beyond this.
    static constexpr size_t kHistoryLimit = 64u << 20;

  private:
    // `after` shorter than `before` is a pattern repeated over the step's bytes (a fill).
    struct Step {
        uint32_t address = 0;
        std::vector<uint8_t> before;
        std::vector<uint8_t> after;
        size_t bytes() const { return before.size() + after.size(); }
    };
    template <typename Put>
    int64_t change(const EditArea& area, uint32_t first, uint32_t last, Put put, bool repeats);
    void apply(const Step& step, bool forward);
    void push(std::deque<Step>& stack, Step step);

    std::vector<uint8_t>& image_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    size_t historyBytes_ = 0;
};

struct FindHit {
    uint32_t cell = 0;
    bool wrapped = false;  // found only after continuing from the start
};
// The first cell from `from` on whose run of cells matches `pattern` (compared under
// `compareMask`), continuing from the start of the area up to `from`; a match never runs past the
// last cell.
std::optional<FindHit> FindCells(const std::vector<uint8_t>& image, const EditArea& area,
                                 std::span<const uint16_t> pattern, uint32_t from,
                                 uint16_t compareMask);

// Hex values separated by blanks or commas; a run longer than one cell's digits (2 per byte of
// `width`) is read as several cells ("4142" is two bytes). nullopt for anything else or nothing.
std::optional<std::vector<uint16_t>> ParseHexCells(std::string_view text, uint32_t width);
// One hex number, with an optional "$" or "0x" in front.
std::optional<uint32_t> ParseHexNumber(std::string_view text);

}  // namespace tavrin
