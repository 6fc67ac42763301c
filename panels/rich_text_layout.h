// The layout walk of the rich-text control: the three tags "<b>", "</b>"
// and "<br>", words wrapped to a width, a word wider than the whole line
// broken between characters. Widths come from a measurer, so the same walk
// measures, draws and is tested without a device context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace corvelle {

constexpr int32_t kRichTextLineHeight = 14;

class RichTextMeasurer {
public:
    // Width of one character / of `length` characters, in the bold or the
    // normal font.
    virtual int32_t CharWidth(char16_t c, bool bold) = 0;
    virtual int32_t TextWidth(const char16_t* text, size_t length, bool bold) = 0;

protected:
    ~RichTextMeasurer() = default;
};

// One character to draw: its index in the text, where it goes and in which
// font.
struct RichTextGlyph {
    size_t index;
    int32_t x;
    int32_t y;
    bool bold;
};

// Walks `text` from (x0, top) with lines ending at `right`. Every character
// from 33 to 126 is handed to `draw` (may be empty); the walk stops when a
// new line starts below `bottom`. Each walk starts in the normal font.
// Returns the top of the last line.
int32_t WalkRichText(std::u16string_view text, RichTextMeasurer& measurer, int32_t x0, int32_t right, int32_t top,
                     int32_t bottom, const std::function<void(const RichTextGlyph&)>& draw);

// The height the text takes at `width`: every line, never cut.
int32_t MeasureRichText(std::u16string_view text, RichTextMeasurer& measurer, int32_t width);

}  // namespace corvelle
