// Tagged rich text broken into lines and fragments: the markers that tags become, the style of
// each nesting level, and the layout of the text in a given width. Widths and font metrics come
// from an interface, so the layout is checked with made-up fonts and without a document.
#pragma once

#include "pdf/content/rich_text_state.h"
#include "pdf/content/text_measure.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

// Markers in a prepared text: an opened tag (its number from 1 follows), a closed level (a number
// follows and is not read), and, first in a text, a continuation of a paragraph begun
// in an earlier box.
inline constexpr char kRichOpenMarker = '\x01';
inline constexpr char kRichCloseMarker = '\x02';
inline constexpr char kRichContinuation = '\xFF';
// The index of the neutral entry that begins every list of open markers.
inline constexpr char kRichNeutralIndex = '\xFF';

// One run of text in one style: at most one word and its blank.
struct RichFragmentRecord {
    std::string text;
    float width = 0; // user units, the trailing blank included
    std::string font_family;
    std::int32_t font_style = 0;
    std::int32_t encoding = 0;
    std::int32_t font_index = -1; // index in the font list
    float font_size = 0;
    std::string font_color;
    std::string back_color;
    float trailing_blank = 0;       // width of the blank that ends text, 0 without one
    bool blank_after_close = false; // that blank followed a closing tag
};

// One laid-out line, lengths in user units.
struct RichLineRecord {
    float width = 0;              // indentation (when it has one) plus its fragments
    std::int32_t blank_count = 0; // fragments ending in a blank
    float height = 0;             // top of the line to its baseline
    float descent = 0;            // below the baseline, negative
    std::vector<RichFragmentRecord> fragments;
    bool ends_paragraph = false;
    bool starts_paragraph = false;
    // What follows the line, kept as references rather than copies (a long word in a narrow box
    // makes a line per character): the node of the open markers in force where the line ended,
    // and the offset in the prepared text where the rest begins.
    std::int32_t open_markers = 0;
    std::size_t remainder = 0;
};

// One opened tag in the tree of open-marker lists; node 0 is the neutral entry.
struct RichMarkerNode {
    char index = kRichNeutralIndex;
    std::int32_t parent = -1;
};

struct RichTextLayout {
    std::vector<RichLineRecord> lines;
    float text_height = 0; // sum of the lines' advances (height minus descent)
    std::vector<RichMarkerNode> markers;
    // Set when the layout stopped at the area's stop height, with the offset of the last character
    // read: nothing after the characters up to two past it had a say in the lines.
    bool stopped = false;
    std::size_t stopped_at = 0;
};

// A registered font as the layout sees it.
struct RichFont {
    TextMeasure measure;
    std::int32_t line_height = 0; // 1/1000 of the size
    std::int32_t descent = 0;     // 1/1000 of the size, negative
};

class RichTextFonts {
public:
    virtual ~RichTextFonts() = default;
    // Selects (registering when new) the font of a level and returns its index.
    virtual std::int32_t Select(const TextTagRecord& level) = 0;
    // A registered font at a size; raises error 9 for an index that names no font.
    virtual RichFont Font(std::int32_t index, float size) = 0;
};

struct RichTextArea {
    float inner_width = 0;  // user units
    float indent = 0;       // user units, first line of each paragraph
    float line_spacing = 1; // applied to every line but the first
    float scale_factor = 1; // points per user unit
    // The layout may stop once its finished lines are taller than this (user units): a box
    // draws no line past its bottom, and a text flowed box after box is laid out one box at a
    // time instead of all its rest for every box.
    float stop_height = std::numeric_limits<float>::infinity();
};

// Turns every tag into its markers (tags in the order defined, opening before closing) and every CR
// LF into CR. A leading continuation character is removed and reported.
std::string PrepareRichText(std::string_view text, const RichTextState& tags, bool& continued);

// A text prepared piece by piece, each piece up to where the box reads: the tags are replaced in
// one pass, each by the first of them in order that matches where it begins. That gives what
// replacing them one after another gives when no replacement can make or break another match:
// tag names free of '<', '>', CR, LF and of the bytes markers are made of, and marker numbers
// that are neither '<' nor '>'. Otherwise the text is prepared whole.
class RichTextPreparer {
public:
    explicit RichTextPreparer(const RichTextState& tags);
    bool Piecewise() const { return piecewise_; }
    // Where a piece of the text may end at the latest given length: never inside a CR LF or a tag.
    std::size_t Cut(std::string_view text, std::size_t length) const;
    // Appends the prepared piece (without the leading continuation character).
    void Append(std::string& out, std::string_view piece) const;

private:
    // At a '<': the markers of the first tag that begins there, or the '<' itself; `from` moves
    // past what was read.
    void AppendTagAt(std::string& out, std::string_view piece, std::size_t at,
                     std::size_t& from) const;

    struct Pattern {
        std::string text;
        char marker[2];
    };
    std::vector<Pattern> patterns_; // in the order they are replaced
    std::size_t longest_ = 0;
    bool piecewise_ = true;
};

// The level an opened tag gives on top of the level around it (the font index not yet set).
TextTagRecord DeriveLevel(const TextTagRecord& outer, const TextTagRecord& tag);

// Lays out a prepared text. Raises error 5 for a closing marker with no tag open and for an
// opening marker without its index. A layout stopped at the area's stop height ends with the
// line it had begun, unfinished, and counts only the finished lines in text_height.
RichTextLayout LayoutRichText(std::string_view prepared, bool continued, const RichTextState& tags,
                              const TextTagRecord& level0, const RichTextArea& area,
                              RichTextFonts& fonts);

// The text that draws everything after a line in the same styles: the continuation character,
// the open markers in force and the rest of the prepared text.
// A text prepared only in part hands back the rest of that part and then the text not yet
// prepared (`unprepared`), prepared by `preparer` on the way, in the one pass that copies it.
std::string RichRemainder(const RichTextLayout& layout, std::string_view prepared,
                          const RichLineRecord& line, std::string_view unprepared = {},
                          const RichTextPreparer* preparer = nullptr);

} // namespace pagora::detail
