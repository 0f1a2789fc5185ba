// State of tagged rich text and of tables: the named text styles and the open tables, both kept
// by the object across documents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagora::detail {

// One named text style (a tag), or the style in force at one depth of nesting (a level, whose
// name is not used).
struct TextTagRecord {
    std::string name;             // compared exactly
    std::string font_family;      // empty: keep the enclosing family and charset
    std::int32_t font_style = 0;  // style bits; -1 (and 0) keep the enclosing style
    std::int32_t font_index = -1; // index in the font list, in levels only; -1 for none
    float font_size = 0;          // points; 0 keeps the enclosing size
    std::int32_t encoding = 0;    // Windows charset, used with FontFamily only
    std::string font_color;       // colour string; empty keeps the enclosing colour
    std::string back_color;       // colour string of the background; empty keeps the enclosing one
};

// A marker in a prepared text names a tag by one byte, its number from 1: at most 255 tags.
inline constexpr std::size_t kMaxTextTags = 255;

struct RichTextState {
    std::vector<TextTagRecord> text_tags; // the tags in force, in the order first defined
};

// One open table: the grid in user units, origin top-left, y downwards.
struct TableRecord {
    float x = 0;
    float y = 0;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    float row_height = 0;
    std::vector<float> column_x; // columns + 1 boundaries, column_x[0] = x
    std::vector<float> row_y;    // rows + 1 boundaries, row_y[0] = y
    // The last cell asked for, its column and column span after clamping.
    std::int32_t row = 0;
    std::int32_t col = 0;
    std::int32_t row_span = 0;
    std::int32_t col_span = 0;
};

struct TableState {
    std::vector<TableRecord> tables; // the open tables, innermost last
};

} // namespace pagora::detail
