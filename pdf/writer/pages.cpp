// Pages: beginning, ending, overlays and page order.
#include "pdf/writer/writer.h"

#include "pdf/content/content.h"
#include "pdf/writer/members.h"

#include <utility>

namespace pagora {
namespace {

// What every page and overlay starts with.
void ResetPageTextState(detail::ContentState& s) {
    s.char_spacing = 0.0f;
    s.word_spacing = 0.0f;
    s.horizontal_scaling = 100.0f;
    s.current_x = 0.0f;
    s.current_y = 0.0f;
    s.line_spacing = 1.0f;
    s.path_open = false;
}

std::string Reference(int number) {
    return std::to_string(number) + " 0 R ";
}

} // namespace

int Pagora::BeginPage(int PageNumber) try {
    auto& s = m_->writer;
    EndPage(); // also closes an overlay left open
    detail::AddRecord(s.kept.pages, s.page_count, s.memory_factor);
    // The page order grows with the pages.
    if (s.page_count == 1) s.kept.page_order.assign(s.kept.pages.size(), 0);
    s.kept.page_order.resize(s.kept.pages.size(), 0);
    // A position outside the document would leave positions without a page: append instead.
    if (PageNumber < 1 || PageNumber > s.page_count) PageNumber = s.page_count;
    if (PageNumber < s.page_count) {
        for (int i = s.page_count; i > PageNumber; --i) {
            s.kept.page_order[static_cast<std::size_t>(i)] =
                s.kept.page_order[static_cast<std::size_t>(i - 1)];
        }
        s.kept.page_order[static_cast<std::size_t>(PageNumber)] = 0;
        // Targets name page positions: those from the inserted one on follow their pages.
        const auto follow = [PageNumber](int& page) {
            if (page >= PageNumber) ++page;
        };
        for (int i = 1; i <= s.destination_count; ++i)
            follow(s.kept.destinations[static_cast<std::size_t>(i)].page);
        for (int i = 2; i <= s.bookmark_count; ++i)
            follow(s.bookmarks[static_cast<std::size_t>(i)].page);
    }
    s.current_page = PageNumber;
    s.page_annots.clear();
    s.page_open_script.clear();
    s.page_close_script.clear();
    s.page_content.clear();
    s.in_page = true;
    s.overlay_open = false;
    detail::StartPageState(*m_);
    if (s.object_count > 0) detail::PlaceAutoObjects(*m_, false);
    s.page_view = s.default_page_view;
    ResetPageTextState(m_->content);
    s.kept.page_transition = s.kept.default_transition;
    s.kept.page_duration = s.kept.default_duration;
    s.form_field_count = 0;
    return s.current_page;
} catch (...) {
    detail::RethrowFailure("BeginPage");
}

void Pagora::EndPage() try {
    auto& s = m_->writer;
    if (!s.in_page) return;
    if (s.overlay_open) {
        EndOnPage();
        return;
    }
    // Everything that can fail without a file or on unusable sizes fails while the page is still
    // open: a page counted but never written would leave its place in the page tree empty.
    if (!s.output) detail::RaiseError(detail::kErrBadFileNumber, "EndPage");
    std::string data = "1 0 0 -1 " + detail::FormatReal(s, s.margin_left) + " " +
                       detail::FormatReal(s, s.page_height - s.margin_top) + " cm \r";
    if (s.clip_to_margins) {
        data += "0 0 " + detail::FormatReal(s, s.page_width - s.margin_right - s.margin_left) +
                " " + detail::FormatReal(s, s.page_height - s.margin_bottom - s.margin_top) +
                " re W n\r";
    }
    const std::string w = detail::FormatReal(s, s.page_width);
    const std::string h = detail::FormatReal(s, s.page_height);
    const std::string duration = s.kept.page_transition.empty()
                                     ? std::string()
                                     : detail::FormatReal(s, s.kept.page_duration);

    if (s.object_count > 0) detail::PlaceAutoObjects(*m_, true);
    s.in_page = false;
    data += s.page_content;

    int open_script = 0;
    int close_script = 0;
    if (!s.page_open_script.empty()) open_script = detail::WriteTextStream(s, s.page_open_script);
    if (!s.page_close_script.empty())
        close_script = detail::WriteTextStream(s, s.page_close_script);

    // Widgets come right before the page object, whose number they name.
    if (s.form_field_count > 0)
        detail::WriteFormWidgets(s, s.last_object_number + s.form_field_count + 1);
    const int content = detail::BeginIndirectObject(s, s.last_object_number + 2);
    detail::PageRecord& page = s.kept.pages[static_cast<std::size_t>(s.page_count)];
    page.object_number = content - 1;
    s.kept.page_order[static_cast<std::size_t>(s.current_page)] = s.page_count;
    detail::WriteFileLine(s, "<<");
    detail::WriteStream(s, data, 0, "", 0, detail::StreamKind::kContent);
    detail::EndIndirectObject(s);

    std::string dictionary = "/Parent 1 0 R \r";
    switch (s.page_view) {
    case 1:
        dictionary += "/Rotate 270\r";
        break;
    case 2:
        dictionary += "/Rotate 180\r";
        break;
    case 3:
        dictionary += "/Rotate 90\r";
        break;
    default:
        break;
    }
    const std::string box = "[0 0 " + w + " " + h + "]\r";
    dictionary += "/MediaBox " + box + "/CropBox " + box + "/BleedBox " + box + "/Resources 2 0 R";
    if (!s.kept.page_transition.empty()) {
        dictionary += "\r/Dur " + duration + " /Trans " + s.kept.page_transition;
    }
    if (open_script != 0 || close_script != 0) {
        dictionary += "\n/AA <<";
        if (open_script != 0) {
            dictionary += " /O << /Type /Action /S /JavaScript /JS " + std::to_string(open_script) +
                          " 0 R >>\r";
        }
        if (close_script != 0) {
            dictionary += " /C << /Type /Action /S /JavaScript /JS " +
                          std::to_string(close_script) + " 0 R >>\r";
        }
        dictionary += ">> ";
    }
    dictionary += ">>";
    page.annots = s.page_annots;
    page.dictionary = std::move(dictionary);
    page.has_placeholders = s.page_annots.find("##") != std::string::npos;
} catch (...) {
    detail::RethrowFailure("EndPage");
}

void Pagora::BeginOnPage(int PageNumber) try {
    auto& s = m_->writer;
    // Only a finished page can take an overlay; checked before anything is written.
    if (PageNumber < 1 || PageNumber > s.page_count)
        detail::RaiseError(detail::kErrSubscript, "BeginOnPage");
    EndPage(); // also closes an overlay left open
    if (s.kept.page_order[static_cast<std::size_t>(PageNumber)] == 0) {
        detail::RaiseError(detail::kErrSubscript, "BeginOnPage");
    }
    s.current_page = PageNumber;
    s.page_content.clear();
    s.in_page = true;
    s.overlay_open = true;
    detail::StartOverlayColours(*m_);
    ResetPageTextState(m_->content);
    s.page_annots.clear();
} catch (...) {
    detail::RethrowFailure("BeginOnPage");
}

void Pagora::EndOnPage() try {
    auto& s = m_->writer;
    if (!s.in_page) return;
    // A page that was not reopened is ended by EndPage; writing it as an overlay would leave
    // the page itself unwritten.
    if (!s.overlay_open) detail::RaiseError(detail::kErrInvalidCall, "EndOnPage");
    s.in_page = false;
    s.overlay_open = false;
    // Fields drawn on an overlay belong to the reopened page.
    if (s.form_field_count > 0) {
        detail::WriteFormWidgets(
            s, s.kept
                   .pages[static_cast<std::size_t>(
                       s.kept.page_order[static_cast<std::size_t>(s.current_page)])]
                   .object_number);
    }
    const int number = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(s, "<<");
    std::string data = std::move(s.page_content);
    s.page_content.clear();
    detail::WriteStream(s, data, 0, "", 0, detail::StreamKind::kContent);
    detail::EndIndirectObject(s);
    detail::PageRecord& page = s.kept.pages[static_cast<std::size_t>(
        s.kept.page_order[static_cast<std::size_t>(s.current_page)])];
    page.annots += s.page_annots;
    if (s.page_annots.find("##") != std::string::npos) page.has_placeholders = true;
    page.extra_contents += Reference(number);
} catch (...) {
    detail::RethrowFailure("EndOnPage");
}

void Pagora::SwapPages(int FirstPage, int SecondPage) try {
    auto& s = m_->writer;
    if (FirstPage < 1 || SecondPage < 1 || FirstPage > s.page_count || SecondPage > s.page_count ||
        FirstPage == SecondPage) {
        return;
    }
    // A position whose page is still being drawn has no page yet to move.
    if (s.kept.page_order[static_cast<std::size_t>(FirstPage)] == 0 ||
        s.kept.page_order[static_cast<std::size_t>(SecondPage)] == 0) {
        detail::RaiseError(detail::kErrInvalidCall, "SwapPages");
    }
    std::swap(s.kept.page_order[static_cast<std::size_t>(FirstPage)],
              s.kept.page_order[static_cast<std::size_t>(SecondPage)]);
    auto swap_page = [&](int& page) {
        if (page == FirstPage) {
            page = SecondPage;
        } else if (page == SecondPage) {
            page = FirstPage;
        }
    };
    for (int i = 1; i <= s.destination_count; ++i)
        swap_page(s.kept.destinations[static_cast<std::size_t>(i)].page);
    if (s.bookmark_count > 1) {
        for (int i = 1; i <= s.bookmark_count; ++i)
            swap_page(s.bookmarks[static_cast<std::size_t>(i)].page);
    }
} catch (...) {
    detail::RethrowFailure("SwapPages");
}

} // namespace pagora
