#include "pdf/content/content_state.h"

#include "pdf/content/content.h"

namespace pagora::detail {

void ResetContentState(ContentState& content) {
    ContentState fresh;
    // The pattern colours, the line width, the last box and the saved states' storage belong to
    // the object rather than to one document.
    fresh.fill_pattern_color = std::move(content.fill_pattern_color);
    fresh.line_pattern_color = std::move(content.line_pattern_color);
    fresh.text_pattern_color = std::move(content.text_pattern_color);
    fresh.line_width = content.line_width;
    fresh.last_box_x1 = content.last_box_x1;
    fresh.last_box_y1 = content.last_box_y1;
    fresh.last_box_x2 = content.last_box_x2;
    fresh.last_box_y2 = content.last_box_y2;
    fresh.state_stack = std::move(content.state_stack);
    fresh.box_style = content.box_style;
    fresh.rich_text = std::move(content.rich_text);
    fresh.tables = std::move(content.tables);
    ResetBoxStyle(fresh.box_style);
    content = std::move(fresh);
}

} // namespace pagora::detail
