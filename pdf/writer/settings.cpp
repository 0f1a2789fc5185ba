// Document settings and properties, and the getters of the document's state.
#include "pdf/writer/writer.h"

#include "pdf/writer/document_metadata.h"
#include "pdf/writer/members.h"
#include "pdf/writer/pdfa_rules.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <map>

namespace pagora {
namespace {

struct PaperSize {
    int code;
    float width, height;
};

constexpr std::array<PaperSize, 26> kPaperSizes = {{
    {0, 596, 842},    {1, 842, 596},    {2, 421, 596},    {3, 596, 421},    {4, 298, 421},
    {5, 421, 298},    {6, 210, 298},    {7, 298, 210},    {8, 612, 792},    {9, 792, 612},
    {10, 792, 1224},  {11, 1224, 792},  {12, 612, 1008},  {13, 1008, 612},  {14, 396, 612},
    {15, 612, 396},   {16, 522, 756},   {17, 756, 522},   {-1, 1192, 842},  {-2, 842, 1192},
    {-3, 1685, 1192}, {-4, 1192, 1685}, {-5, 2384, 1685}, {-6, 1685, 2384}, {-7, 3371, 2384},
    {-8, 2384, 3371},
}};

constexpr std::array<const char*, 18> kTransitionStyles = {
    "",
    "/S /Split /Dm /H /M /I >> ",
    "/S /Split /Dm /V /M /I >> ",
    "/S /Split /Dm /H /M /O >> ",
    "/S /Split /Dm /V /M /O >> ",
    "/S /Wipe /Di 180 >> ",
    "/S /Wipe /Di 0 >> ",
    "/S /Wipe /Di 270 >> ",
    "/S /Wipe /Di 90 >> ",
    "/S /Box /M /I >> ",
    "/S /Box /M /O >> ",
    "/S /Blinds /Dm /H >> ",
    "/S /Blinds /Dm /V >> ",
    "/S /Dissolve >> ",
    "/S /Glitter /Di 0 >> ",
    "/S /Glitter /Di 270 >> ",
    "/S /Glitter /Di 315 >> ",
    "/S /R >> ",
};

// A page side, a margin or a page's showing time is written into every page; one that cannot be
// written (not a number, infinite, or so large that the sums and doubles the pages make of it
// overflow) is refused where it enters, so that no later page or the end of the document fails
// on it. No reader holds coordinates past 2^31 points as whole numbers anyway.
constexpr float kMaxPageLength = 2147483648.0f;

float PageLength(float value, float scale_factor, std::string_view operation) {
    const float points = value * scale_factor;
    if (!(std::fabs(points) <= kMaxPageLength)) detail::RaiseError(detail::kErrOverflow, operation);
    return points;
}

} // namespace

void Pagora::SetDocProperty(const std::string& DocTitle, const std::string& DocSubject,
                            const std::string& DocAuthor, const std::string& DocCreator,
                            const std::string& DocProducer, const std::string& DocKeywords) try {
    auto& s = m_->writer;
    s.title = DocTitle;
    if (!s.bookmarks.empty()) s.bookmarks.front().caption = DocTitle;
    s.subject = DocSubject;
    s.keywords = DocKeywords;
    if (!DocAuthor.empty()) s.author = DocAuthor;
    if (!DocCreator.empty()) s.creator = DocCreator;
    if (!DocProducer.empty()) s.producer = DocProducer;
} catch (...) {
    detail::RethrowFailure("SetDocProperty");
}

void Pagora::SetLabel(int PageLabel, const std::string& LabelPrefix, int FirstValue) try {
    auto& s = m_->writer;
    if (PageLabel < 1 || PageLabel > 5) return;
    const int index = s.in_page ? s.current_page - 1 : s.current_page;
    s.page_labels.push_back({index, PageLabel, LabelPrefix, FirstValue});
} catch (...) {
    detail::RethrowFailure("SetLabel");
}

void Pagora::SetMargins(float Left, float Right, float Top, float Bottom, bool ClipPage) try {
    auto& s = m_->writer;
    const float left = PageLength(Left, s.scale_factor, "SetMargins");
    const float right = PageLength(Right, s.scale_factor, "SetMargins");
    const float top = PageLength(Top, s.scale_factor, "SetMargins");
    const float bottom = PageLength(Bottom, s.scale_factor, "SetMargins");
    s.margin_left = left;
    s.margin_right = right;
    s.margin_top = top;
    s.margin_bottom = bottom;
    s.clip_to_margins = ClipPage;
} catch (...) {
    detail::RethrowFailure("SetMargins");
}

void Pagora::SetMemoryUsage(int Value) {
    if (Value >= 1 && Value <= 10) m_->writer.memory_factor = Value;
}

void Pagora::SetPageTransition(int Transition, float ShowTime, float TransTime) try {
    auto& s = m_->writer;
    PageLength(ShowTime, 1, "SetPageTransition");
    std::string text;
    // A code outside the table means no transition: a dictionary without its style would be
    // left unclosed in the page.
    if (Transition >= 1 && Transition <= 17) {
        text = "<< /Type /Trans /D " + detail::FormatReal(s, TransTime) + " " +
               kTransitionStyles[static_cast<std::size_t>(Transition)];
    }
    if (s.in_page) {
        s.kept.page_transition = text;
        s.kept.page_duration = ShowTime;
    } else {
        s.kept.default_transition = text;
        s.kept.default_duration = ShowTime;
    }
} catch (...) {
    detail::RethrowFailure("SetPageTransition");
}

void Pagora::SetPageView(int ViewMode) try {
    auto& s = m_->writer;
    (s.in_page ? s.page_view : s.default_page_view) = ViewMode;
} catch (...) {
    detail::RethrowFailure("SetPageView");
}

void Pagora::SetPaperSize(int PaperSize, float UserWidth, float UserHeight) try {
    auto& s = m_->writer;
    if (PaperSize == 255) {
        const float width = PageLength(UserWidth, s.scale_factor, "SetPaperSize");
        const float height = PageLength(UserHeight, s.scale_factor, "SetPaperSize");
        s.page_width = width;
        s.page_height = height;
        return;
    }
    for (const auto& size : kPaperSizes) {
        if (size.code == PaperSize) {
            s.page_width = size.width;
            s.page_height = size.height;
            return;
        }
    }
} catch (...) {
    detail::RethrowFailure("SetPaperSize");
}

void Pagora::SetPDFa(bool Value) try {
    auto& s = m_->writer;
    s.pdfa_mode = Value;
    if (Value) detail::RequireVersion(s, 1);
    if (s.encrypted)
        detail::DropPdfaClaim(s, detail::kErrInvalidCall, "SetPDFa", "an encrypted document");
    // What was written or drawn before was written without the archive's rules (fonts not
    // embedded, colours in CMYK), and no one can vouch for it now.
    if (s.output && (s.last_object_number > 3 || !s.pages.empty()))
        detail::DropPdfaClaim(s, detail::kErrInvalidCall, "SetPDFa",
                              "PDF/A mode switched on after the document's content began");
} catch (...) {
    detail::RethrowFailure("SetPDFa");
}

void Pagora::SetPrecision(int w) {
    if (w >= 0 && w <= 6) m_->writer.precision = w;
}

void Pagora::SetScale(int ScaleMode, float UserFactor) try {
    auto& s = m_->writer;
    switch (ScaleMode) {
    case 0:
        s.scale_factor = 1.0f;
        break;
    case 1:
        s.scale_factor = 72.0f;
        break;
    case 2:
        s.scale_factor = std::bit_cast<float>(std::uint32_t{0x40356AD5u});
        break;
    case 3:
        s.scale_factor = std::bit_cast<float>(std::uint32_t{0x41E2C58Bu});
        break;
    case 255:
        // A factor of zero or below would divide by zero or mirror every page; an infinite one
        // would make every later length unwritable.
        if (UserFactor > 0.0f && std::isfinite(UserFactor)) s.scale_factor = UserFactor;
        break;
    default:
        break;
    }
} catch (...) {
    detail::RethrowFailure("SetScale");
}

void Pagora::SetViewerPreferences(int Mode) try {
    auto& s = m_->writer;
    // A PDF/A document keeps the preferences its caller asked for, but for the optional-content
    // and attachments page modes: it can have neither layers nor attachments, and those modes
    // would raise its version past the one the archive format is built on.
    const int page_mode = Mode & 0x1F;
    s.viewer_preferences = s.pdfa_mode && (page_mode == 8 || page_mode == 16) ? Mode & ~0x1F : Mode;
} catch (...) {
    detail::RethrowFailure("SetViewerPreferences");
}

std::int64_t Pagora::FileSize() const try {
    const auto& s = m_->writer;
    if (s.output_file_number == 0) return s.final_file_size;
    if (!s.output) detail::RaiseError(detail::kErrBadFileNumber, "FileSize");
    return s.output_position;
} catch (...) {
    detail::RethrowFailure("FileSize");
}

int Pagora::GetPage() const {
    return m_->writer.current_page;
}
int Pagora::GetPages() const {
    return detail::PageCount(m_->writer);
}

float Pagora::GetPageHeight(bool KeepMargins) const try {
    const auto& s = m_->writer;
    const float margins = KeepMargins ? s.margin_top + s.margin_bottom : 0.0f;
    return (s.page_height - margins) / s.scale_factor;
} catch (...) {
    detail::RethrowFailure("GetPageHeight");
}

float Pagora::GetPageWidth(bool KeepMargins) const try {
    const auto& s = m_->writer;
    const float margins = KeepMargins ? s.margin_left + s.margin_right : 0.0f;
    return (s.page_width - margins) / s.scale_factor;
} catch (...) {
    detail::RethrowFailure("GetPageWidth");
}

float Pagora::GetX() const {
    return m_->content.current_x / m_->writer.scale_factor;
}
float Pagora::GetY() const {
    return m_->content.current_y / m_->writer.scale_factor;
}
std::string Pagora::Version() const try { return "2020.1"; } catch (...) {
    detail::RethrowFailure("Version");
}

} // namespace pagora

namespace pagora::detail {

std::string PageLabelNumbers(WriterState& s) {
    static constexpr std::array<const char*, 6> kStyles = {"",       " /S /D", " /S /R",
                                                           " /S /r", " /S /A", " /S /a"};
    // A number tree needs unique keys in ascending order: labels set for an earlier page, or
    // again for the same page, are sorted and the last one of a page counts.
    std::map<int, const PageLabelRecord*> by_page;
    for (const PageLabelRecord& label : s.page_labels)
        by_page[label.page_index] = &label;
    std::string text;
    for (const auto& [page_index, label] : by_page) {
        text +=
            std::to_string(page_index) + " << " + kStyles[static_cast<std::size_t>(label->style)];
        if (!label->prefix.empty()) text += " /P " + FormatLiteral(s, label->prefix);
        // Page numbers start at 1 or more; a lower first value would make an invalid label.
        if (label->first_value >= 1) text += " /St " + std::to_string(label->first_value);
        text += " >> ";
    }
    return text;
}

} // namespace pagora::detail
