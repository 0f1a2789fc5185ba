#include "pdf/content/content_state.h"

#include "pdf/content/content.h"

namespace pagora::detail {

void ResetContentState(ContentState& content) {
    ContentState fresh;
    fresh.kept = std::move(content.kept);
    ResetBoxStyle(fresh.kept.box_style);
    content = std::move(fresh);
}

} // namespace pagora::detail
