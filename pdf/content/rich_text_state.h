// State of tagged rich text and of tables: the named text styles and the open tables, both kept
// by the object across documents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagora::detail {

// One named text style (a tag), or the style in force at one depth of nesting (a level, whose
// Name is not used).
struct TextTagRecord {
    std::string Name;            // compared exactly
    std::string FontFamily;      // empty: keep the enclosing family and charset
    std::int32_t FontStyle = 0;  // style bits; -1 (and 0) keep the enclosing style
    std::int32_t FontIndex = -1; // index in the font list, in levels only; -1 for none
    float FontSize = 0;          // points; 0 keeps the enclosing size
    std::int32_t Encoding = 0;   // Windows charset, used with FontFamily only
    std::string FontColor;       // colour string; empty keeps the enclosing colour
    std::string BackColor;       // colour string of the background; empty keeps the enclosing one
};

// A marker in a prepared text names a tag by one byte, its number from 1: at most 255 tags.
inline constexpr std::size_t kMaxTextTags = 255;

struct RichTextState {
    std::vector<TextTagRecord> TextTags; // the tags in force, in the order first defined
};

// One open table: the grid in user units, origin top-left, y downwards.
struct TableRecord {
    float X = 0;
    float Y = 0;
    std::int32_t Columns = 0;
    std::int32_t Rows = 0;
    float RowHeight = 0;
    std::vector<float> ColumnX; // Columns + 1 boundaries, ColumnX[0] = X
    std::vector<float> RowY;    // Rows + 1 boundaries, RowY[0] = Y
    // The last cell asked for, its column and column span after clamping.
    std::int32_t Row = 0;
    std::int32_t Col = 0;
    std::int32_t RowSpan = 0;
    std::int32_t ColSpan = 0;
};

struct TableState {
    std::vector<TableRecord> Tables; // the open tables, innermost last
};

} // namespace pagora::detail
