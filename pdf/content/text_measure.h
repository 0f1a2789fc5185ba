// Text measurement and the placement of one line of text, computed from a font's widths and the
// text state alone, so that layout can be checked without a document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pagora::detail {

// Alignment bits shared by text lines, text boxes and rich text.
inline constexpr std::int32_t kAlignLeft = 1;
inline constexpr std::int32_t kAlignRight = 2;
inline constexpr std::int32_t kAlignCentre = 4;
inline constexpr std::int32_t kAlignTop = 8;
inline constexpr std::int32_t kAlignBottom = 16;
inline constexpr std::int32_t kAlignMiddle = 32;
inline constexpr std::int32_t kAlignJustify = 64;
inline constexpr std::int32_t kAlignShrink = 128;
inline constexpr std::int32_t kAlignFit = 256;
inline constexpr std::int32_t kAlignCut = 512;
// The horizontal bits, read on their exact value.
inline constexpr std::int32_t kHorizontalAlignMask = 0x1C7;

// The marker appended to cut words and lines (an ellipsis in the Western code page).
inline constexpr char kCutMarker = '\x85';
// The marker that opens a text continuing a paragraph begun in an earlier box.
inline constexpr char kContinuationMarker = '\x01';

// Makes every run of blanks one blank, in one pass over the text (replacing pairs over and over
// would take time growing with the square of the text's length).
void CollapseBlankRuns(std::string& text);

// The font and text state that a width depends on.
struct TextMeasure {
    // Advance widths of the 256 byte codes in 1/1000 of the size; null when no font is set.
    const std::int16_t* widths = nullptr;
    float size = 0;                 // points
    float char_spacing = 0;         // points
    float word_spacing = 0;         // points
    float horizontal_scaling = 100; // percent
    float scale_factor = 1;         // points per user unit

    // The width of the text in user units; 0 without a font.
    float Width(std::string_view text) const;
    // The same from the sum of the characters' widths, the number of blanks and of characters,
    // so that a word read one character at a time is measured without reading it again.
    float WidthOfSums(long width_sum, long blanks, std::size_t characters) const;
    // The width of one byte code in 1/1000 of the size; 0 without a font.
    int CodeWidth(char c) const;
};

// How a line is adjusted to its width, written around its text.
enum class LineAdjust {
    kNone,
    kWordSpacing, // justified: the word spacing value (user units) before, the old one after
    kShrink,      // horizontal scaling in percent before, the old one after
    kFit,         // the same, stretching as well as shrinking
};

struct TextLinePlan {
    std::string text;      // what is drawn (justified text has its blanks collapsed)
    float offset = 0;      // from the line's x to the text, user units, indentation included
    float drawn_width = 0; // for decorations and the new position, user units
    float box_width = 0;   // indentation plus the measured text, user units
    LineAdjust adjust = LineAdjust::kNone;
    float adjust_value = 0;
};

// Aligns the text in the given width (0 aligns around x) after an indentation. The measure's
// horizontal scaling is the one in force; shrinking and fitting measure at 100 percent.
TextLinePlan PlanTextLine(std::string text, float width, float indent, std::int32_t align,
                          const TextMeasure& measure);

} // namespace pagora::detail
