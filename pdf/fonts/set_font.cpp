// The public font selection operations.
#include "pdf/writer/Pagora.h"

#include "pdf/fonts/font_selection.h"
#include "pdf/fonts/fonts.h"
#include "pdf/fonts/pdfa_fonts.h"
#include "pdf/writer/writer.h"

namespace pagora {

void Pagora::SetFont(const std::string& FontFamily, float Size, int Style, int Encoding) try {
    detail::RefuseNulName(FontFamily, "SetFont");
    detail::SelectFont(m_->fonts, FontFamily, Size, Style, Encoding,
                       [this](const std::string& alias) {
                           if (m_->writer.pdfa_mode) {
                               detail::WritePdfaStandardFont(*m_, alias);
                           } else {
                               detail::WriteFont(*m_, alias, std::string(), 0, std::string_view());
                           }
                       });
} catch (...) {
    detail::RethrowFailure("SetFont");
}

void Pagora::SetFontSize(float Points) {
    m_->fonts.font_size = Points;
}

} // namespace pagora
