// Link annotations over the element drawn last.
#include "pdf/writer/writer.h"

#include "pdf/writer/annotations.h"
#include "pdf/writer/members.h"
#include "pdf/writer/outlines.h"
#include "pdf/writer/pdfa_rules.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace pagora {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::string Ref(int number) {
    return std::to_string(number) + " 0 R";
}

// Writes one link annotation object: a link text "file:..." opens another file, any other
// non-empty text is an address. Links are annotations without a title, contents or appearance,
// so the shared annotation writer serves them.
void WriteLinkAnnotation(detail::WriterState& s, std::string text, std::string_view link) {
    // An archived document must print its annotations as they are shown: the print flag.
    if (s.pdfa_mode) text.insert(text.find("/Subtype"), "/F 4 ");
    detail::WriteAnnotation(s, text, {}, {}, {}, link, false);
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A layer name inside a quoted script string.
std::string ScriptString(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// The script that switches layers by the "ON(a,b)OFF(c)TOGGLE(d)" groups of a "layer:" link.
std::string LayerScript(std::string_view groups) {
    const std::string text = detail::ReplaceText(groups, " ", "");
    struct Group {
        std::string_view opener;
        std::string_view state;
    };
    static constexpr Group kGroups[] = {
        {"ON(", "true"}, {"OFF(", "false"}, {"TOGGLE(", "!ocgArray[i].state"}};
    std::string lines;
    for (const Group& group : kGroups) {
        const std::size_t start = text.find(group.opener);
        if (start == std::string::npos) continue;
        const std::size_t from = start + group.opener.size();
        const std::size_t end = text.find(')', from);
        if (end == std::string::npos) {
            detail::RaiseError(detail::kErrInvalidCall, "LinkTo", "a layer group lacks its \")\"");
        }
        for (const std::string& name :
             detail::SplitText(std::string_view(text).substr(from, end - from), ",")) {
            // The viewer reports the names as the layers were begun: compare without case.
            lines += "if (ocgArray[i].name.toUpperCase() == '" + ScriptString(Upper(name)) +
                     "') { ocgArray[i].state = " + std::string(group.state) + "; };\r";
        }
    }
    return "var ocgArray = this.getOCGs();for (var i=0; i < ocgArray.length; i++) {\r" + lines +
           "}";
}

// A whole page number as the caller wrote it; error 13 for anything else.
int PageNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        std::fabs(value) > 2147483647.0) {
        detail::RaiseError(detail::kErrTypeMismatch, "LinkTo",
                           "not a page number: " + std::string(text));
    }
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

void Pagora::LinkTo(std::string_view Destination, int BorderWidth, int OnMouseDown, int TypeOfLink,
                    float X, float Y, float Width, float Height, float Zoom) try {
    detail::RefuseNulName(Destination, "LinkTo");
    auto& s = m_->writer;
    const auto& box = m_->content;
    // The box of the element itself: moving it down would miss small text.
    const std::string rect = detail::FormatReal(s, box.kept.last_box_x1) + " " +
                             detail::FormatReal(s, box.kept.last_box_y1) + " " +
                             detail::FormatReal(s, box.kept.last_box_x2) + " " +
                             detail::FormatReal(s, box.kept.last_box_y2);
    std::string border = BorderWidth == 0 ? std::string("/Border [ 0 0 0] ")
                                          : "/Border [ 0 0 " + std::to_string(BorderWidth) + "]\r";
    static constexpr const char* kHighlights[] = {" /H /N", " /H /I", " /H /O", " /H /P"};
    if (OnMouseDown >= 0 && OnMouseDown <= 3) {
        border += std::string(kHighlights[OnMouseDown]) + "\r";
    }

    const std::string external =
        "<< /Type /Annot\r/Subtype /Link /Rect [" + rect + "]\r" + border + "\r";
    if (StartsWith(Destination, "mailto:") || StartsWith(Destination, "https:") ||
        StartsWith(Destination, "http:") || StartsWith(Destination, "file:")) {
        WriteLinkAnnotation(s, external, Destination);
        return;
    }
    if (StartsWith(Destination, "script:")) {
        detail::RefuseInPdfa(s, "LinkTo", "a script");
        const int n = detail::WriteTextStream(s, Destination.substr(7));
        WriteLinkAnnotation(s, external + "/A << /S /JavaScript /JS " + Ref(n) + " >>", {});
        return;
    }
    if (StartsWith(Destination, "layer:")) {
        // Layers are switched by a script, and an archived document has neither.
        detail::RefuseInPdfa(s, "LinkTo", "a script that switches layers");
        const std::string script = LayerScript(Destination.substr(6));
        const int n = detail::WriteTextStream(s, script);
        WriteLinkAnnotation(s, external + "/A << /S /JavaScript /JS " + Ref(n) + " >> ", {});
        return;
    }
    if (StartsWith(Destination, "ref:")) {
        WriteLinkAnnotation(s,
                            external + "/Dest /" + s.resource_prefix + "REF_" +
                                detail::PdfNameText(Destination.substr(4)),
                            {});
        return;
    }

    // Internal links. The target is checked before anything is recorded, so a bad one leaves
    // neither a destination nor an annotation behind.
    const bool to_page = StartsWith(Destination, "page:");
    if (!to_page && !StartsWith(Destination, "bookmark:@")) return;
    detail::DestinationRecord target;
    if (to_page) {
        const std::string_view part = Destination.substr(5);
        target.page = s.current_page;
        if (!part.empty() && (part.front() == '#' || part.front() == '-' || part.front() == '+')) {
            target.page_spec = std::string(part);
        } else {
            target.page = PageNumber(part);
        }
        const float sf = s.scale_factor;
        const float x = X * sf;
        const float y = s.page_height - Y * sf;
        switch (TypeOfLink) {
        case 0:
            target.fit = " /FitB";
            break;
        case 1:
            target.fit = " /FitV " + detail::FormatReal(s, x);
            break;
        case 2:
            target.fit = " /FitH " + detail::FormatReal(s, y);
            break;
        case 3: {
            const float x2 = x + Width * sf;
            const float y2 = y - Height * sf;
            target.fit = " /FitR " + detail::FitRectangle(s, x, y, x2, y2);
            break;
        }
        case 4:
            target.fit = " /XYZ " + detail::FormatReal(s, x) + " " + detail::FormatReal(s, y) +
                         " " + detail::FormatReal(s, Zoom / 100);
            break;
        default:
            break;
        }
    } else {
        const int item = PageNumber(Destination.substr(10));
        if (item < 1 || static_cast<std::size_t>(item) > s.bookmarks.size()) {
            detail::RaiseError(detail::kErrSubscript, "LinkTo", "no such bookmark");
        }
        const detail::BookmarkRecord& bookmark = s.bookmarks[static_cast<std::size_t>(item - 1)];
        if (bookmark.kind == 5) {
            // An action item has no view to copy: the link performs the same action.
            if (!bookmark.destination.empty())
                WriteLinkAnnotation(s, external + bookmark.destination, {});
            return;
        }
        target.page = bookmark.page;
        target.fit = bookmark.destination;
    }
    // Named by their number counted from 1, in the order recorded.
    target.name = detail::NumberedName(s, "LINK_", s.destinations.size());
    detail::DestinationRecord& recorded = detail::AppendRecord(s.destinations, s.memory_factor);
    recorded = std::move(target);
    WriteLinkAnnotation(s,
                        "<< /Type /Annot\r/Subtype /Link\r/Rect [" + rect + "]\r" + border +
                            "/Dest " + recorded.name,
                        {});
} catch (...) {
    detail::RethrowFailure("LinkTo");
}

} // namespace pagora
