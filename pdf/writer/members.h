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

namespace detail {

// The private state of a document, for the library's free functions that hold only the public
// object and for the tests that look inside. Nothing outside the library's sources and tests
// includes this header.
struct StateAccess {
    static Pagora::Members& Of(Pagora& pdf) noexcept { return *pdf.m_; }
    static const Pagora::Members& Of(const Pagora& pdf) noexcept { return *pdf.m_; }
};
inline Pagora::Members& StateOf(Pagora& pdf) noexcept {
    return StateAccess::Of(pdf);
}
inline const Pagora::Members& StateOf(const Pagora& pdf) noexcept {
    return StateAccess::Of(pdf);
}

} // namespace detail

} // namespace pagora
