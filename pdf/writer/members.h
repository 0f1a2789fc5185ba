// The private state of one Pagora object: one struct per subsystem, each declared in its own
// folder. Each struct's default member values are its values after Abort.
#pragma once

#include "pdf/content/content_state.h"
#include "pdf/fonts/font_state.h"
#include "pdf/import/import_state.h"
#include "pdf/writer/Pagora.h"
#include "pdf/writer/writer_state.h"

#include <memory>

namespace pagora {

struct Pagora::Members {
    std::shared_ptr<PagoraHost> host;
    detail::WriterState writer;
    detail::FontState fonts;
    detail::ContentState content;
    detail::ImportState import;
};

}  // namespace pagora
