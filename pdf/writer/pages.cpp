// Pages: beginning, ending, overlays and page order.
#include "pdf/writer/writer.h"

#include "pdf/content/content.h"
#include "pdf/writer/annotations.h"
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
    const std::size_t index = s.pages.size();
    detail::AppendRecord(s.pages, s.memory_factor);
    const int count = detail::PageCount(s);
    // A position outside the document would leave positions without a page: append instead.
    if (PageNumber < 1 || PageNumber > count) PageNumber = count;
    try {
        s.page_order.insert(s.page_order.begin() + (PageNumber - 1), index);
    } catch (...) {
        s.pages.pop_back(); // a page without a position would never be written
        throw;
    }
    if (PageNumber < count) {
        // Targets name page positions: those from the inserted one on follow their pages.
        const auto follow = [PageNumber](int& page) {
            if (page >= PageNumber) ++page;
        };
        for (detail::DestinationRecord& d : s.destinations)
            follow(d.page);
        // The title's item keeps its page.
        for (std::size_t i = 1; i < s.bookmarks.size(); ++i)
            follow(s.bookmarks[i].page);
    }
    s.current_page = PageNumber;
    s.page_annots.clear();
    s.page_open_script.clear();
    s.page_close_script.clear();
    s.page_content.clear();
    s.in_page = true;
    s.overlay_open = false;
    detail::StartPageState(*m_);
    if (!s.form_objects.empty()) detail::PlaceAutoObjects(*m_, false);
    s.page_view = s.default_page_view;
    ResetPageTextState(m_->content);
    s.kept.page_transition = s.kept.default_transition;
    s.kept.page_duration = s.kept.default_duration;
    s.form_fields.clear();
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

    if (!s.form_objects.empty()) detail::PlaceAutoObjects(*m_, true);
    s.in_page = false;
    data += s.page_content;

    int open_script = 0;
    int close_script = 0;
    if (!s.page_open_script.empty()) open_script = detail::WriteTextStream(s, s.page_open_script);
    if (!s.page_close_script.empty())
        close_script = detail::WriteTextStream(s, s.page_close_script);

    // Widgets come right before the page object, whose number they name.
    if (!s.form_fields.empty()) {
        detail::WriteFormWidgets(s,
                                 s.last_object_number + static_cast<int>(s.form_fields.size()) + 1);
    }
    const int content = detail::BeginIndirectObject(s, s.last_object_number + 2);
    // The open page is the last one begun, wherever its position.
    detail::PageRecord& page = s.pages.back();
    page.object_number = content - 1;
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
    if (PageNumber < 1 || PageNumber > detail::PageCount(s))
        detail::RaiseError(detail::kErrSubscript, "BeginOnPage");
    EndPage(); // also closes an overlay left open
    if (detail::PageAt(s, PageNumber).object_number == 0)
        detail::RaiseError(detail::kErrSubscript, "BeginOnPage");
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
    if (!s.form_fields.empty())
        detail::WriteFormWidgets(s, detail::PageAt(s, s.current_page).object_number);
    const int number = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(s, "<<");
    std::string data = std::move(s.page_content);
    s.page_content.clear();
    detail::WriteStream(s, data, 0, "", 0, detail::StreamKind::kContent);
    detail::EndIndirectObject(s);
    detail::PageRecord& page = detail::PageAt(s, s.current_page);
    page.annots += s.page_annots;
    if (s.page_annots.find("##") != std::string::npos) page.has_placeholders = true;
    page.extra_contents += Reference(number);
} catch (...) {
    detail::RethrowFailure("EndOnPage");
}

void Pagora::SwapPages(int FirstPage, int SecondPage) try {
    auto& s = m_->writer;
    const int count = detail::PageCount(s);
    if (FirstPage < 1 || SecondPage < 1 || FirstPage > count || SecondPage > count ||
        FirstPage == SecondPage) {
        return;
    }
    // A position whose page is still being drawn has no page yet to move.
    if (detail::PageAt(s, FirstPage).object_number == 0 ||
        detail::PageAt(s, SecondPage).object_number == 0) {
        detail::RaiseError(detail::kErrInvalidCall, "SwapPages");
    }
    std::swap(s.page_order[static_cast<std::size_t>(FirstPage - 1)],
              s.page_order[static_cast<std::size_t>(SecondPage - 1)]);
    auto swap_page = [&](int& page) {
        if (page == FirstPage) {
            page = SecondPage;
        } else if (page == SecondPage) {
            page = FirstPage;
        }
    };
    for (detail::DestinationRecord& d : s.destinations)
        swap_page(d.page);
    if (s.bookmarks.size() > 1) {
        for (detail::BookmarkRecord& b : s.bookmarks)
            swap_page(b.page);
    }
} catch (...) {
    detail::RethrowFailure("SwapPages");
}

} // namespace pagora
