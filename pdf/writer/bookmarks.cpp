// Outline items as they are recorded; the tree is written by the document's tail.
#include "pdf/writer/outlines.h"
#include "pdf/writer/writer.h"

namespace pagora::detail {

std::string AddBookmarkRecord(WriterState& s, std::string_view caption, int level, int kind,
                              float p1, float p2, float p3, float p4) {
    if (s.bookmarks.empty()) {
        level = 1;
    } else {
        const int last = s.bookmarks.back().level;
        if (level == -1) {
            level = last + 1;
        } else if (level == 0) {
            level = last;
        } else if (level > last + 1) {
            level = last + 1;
        }
    }
    // Deeper than any outline, or a level no item can have.
    if (level >= 255 || level < -1) return {};
    BookmarkRecord& item = AppendRecord(s.bookmarks, s.memory_factor);
    item.kind = kind;
    item.caption = std::string(caption);
    item.level = level;
    item.page = s.current_page < 1 ? 1 : s.current_page;
    const float sf = s.scale_factor;
    switch (kind) {
    case 0:
        item.destination = "/FitB";
        break;
    case 1:
        item.destination = "/FitV " + FormatReal(s, p1 * sf);
        break;
    case 2:
        item.destination = "/FitH " + FormatReal(s, s.page_height - p1 * sf);
        break;
    case 3: {
        const float x1 = p1 * sf;
        const float y1 = s.page_height - p2 * sf;
        const float x2 = x1 + p3 * sf;
        const float y2 = y1 - p4 * sf;
        item.destination = "/FitR " + FitRectangle(s, x1, y1, x2, y2);
        break;
    }
    case 4:
        item.destination = "/XYZ " + FormatReal(s, p1 * sf) + " " +
                           FormatReal(s, s.page_height - p2 * sf) + " " + FormatReal(s, p3 / 100);
        break;
    default:
        break;
    }
    return "@" + std::to_string(s.bookmarks.size());
}

} // namespace pagora::detail
