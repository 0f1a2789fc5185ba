// Outline items, named destinations and the objects that EndDoc writes for them.
#include "pdf/writer/outlines.h"

#include "pdf/content/content.h"
#include "pdf/content/number_parsing.h"
#include "pdf/writer/members.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>

namespace pagora {
namespace detail {
namespace {

std::string Ref(int number) {
    return std::to_string(number) + " 0 R";
}

constexpr long long kFar = 1LL << 40;

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The page object of a page position, clamped to the pages that exist.
int PageObject(const WriterState& s, int position) {
    return PageAt(s, std::clamp(position, 1, PageCount(s))).object_number;
}

// The action entry of an item that opens an address, a file or a script; "" for none.
std::string WriteBookmarkAction(WriterState& s, std::string_view target) {
    // "https:" opens an address just as "http:" does.
    if (StartsWith(target, "mailto:") || StartsWith(target, "http:") ||
        StartsWith(target, "https:") || StartsWith(target, "file:")) {
        const int n = BeginIndirectObject(s, 0);
        if (StartsWith(target, "file:")) {
            WriteFileLine(s, "<< /Type /Action /S /GoToR /F " + FormatLiteral(s, target.substr(5)) +
                                 " /D [-1 /XYZ 0 0 0] >> ");
        } else {
            WriteFileLine(s, "<< /S /URI /URI " + FormatLiteral(s, target) + " >> ");
        }
        EndIndirectObject(s);
        return "/A " + Ref(n) + " ";
    }
    if (StartsWith(target, "script:")) {
        const int n = WriteTextStream(s, target.substr(7));
        return "/A << /S /JavaScript /JS " + Ref(n) + " >>";
    }
    return {};
}

// The /C entry of an outline item: three RGB components. A grey or CMYK colour is given in RGB;
// a pattern or a malformed colour is no colour an item can show, and copied into the item it
// would become syntax of the caller's choosing.
std::string BookmarkColor(const Pagora::Members& m, std::string_view color) {
    const std::string parsed = ParseColor(m, color, "AddBookmark").color;
    if (parsed.empty()) RaiseError(kErrTypeMismatch, "AddBookmark");
    std::string rest = parsed.substr(1);
    switch (parsed[0]) {
    case '#':
        return rest;
    case '%':
        return rest + " " + rest + " " + rest;
    case '@': {
        const std::vector<std::string> parts = SplitText(rest, " ");
        if (parts.size() != 4) RaiseError(kErrTypeMismatch, "AddBookmark");
        const double black = 1 - ReadNumber(parts[3]);
        std::string rgb;
        for (std::size_t i = 0; i < 3; ++i) {
            const double value = std::clamp((1 - ReadNumber(parts[i])) * black, 0.0, 1.0);
            rgb += (i == 0 ? "" : " ") + FormatReal(m.writer, static_cast<float>(value));
        }
        return rgb;
    }
    default:
        RaiseError(kErrTypeMismatch, "AddBookmark");
    }
}

// A link's relative page ("+n", "-n", "#FIRST", "#LAST", "#NEXT", "#PREV") from its own page.
void ResolvePageSpec(const WriterState& s, DestinationRecord& d) {
    const std::string_view spec = d.page_spec;
    if (spec.empty()) return;
    if (spec.front() == '+' || spec.front() == '-') {
        long long offset = 0;
        const char* begin = spec.data() + (spec.front() == '+' ? 1 : 0);
        const auto [end, error] = std::from_chars(begin, spec.data() + spec.size(), offset);
        // Beyond the pages either way: the clamp below takes the first or the last page.
        if (error == std::errc::result_out_of_range)
            offset = spec.front() == '-' ? -kFar : kFar;
        else if (error != std::errc() || end != spec.data() + spec.size())
            return;
        d.page = static_cast<int>(std::clamp<long long>(d.page + offset, -kFar, kFar));
        return;
    }
    if (spec.front() != '#') return;
    std::string word(spec.substr(1));
    for (char& c : word)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (word == "LAST")
        d.page = PageCount(s);
    else if (word == "NEXT")
        d.page += 1;
    else if (word == "PREV")
        d.page -= 1;
    else if (word == "FIRST")
        d.page = 1;
}

} // namespace

std::string PdfNameText(std::string_view text) {
    static constexpr std::string_view kDelimiters = "()<>[]{}/%#";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < '!' || byte > '~' || kDelimiters.find(c) != std::string_view::npos) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "#%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

int WriteOutlines(WriterState& s) {
    std::vector<BookmarkRecord>& items = s.bookmarks;
    const std::size_t n = items.size();
    if (n < 2) return 0;
    // The root comes first, then the items in recording order, the title's item first.
    const int root = s.last_object_number + 1;
    for (std::size_t j = 0; j < n; ++j) {
        BookmarkRecord& b = items[j];
        b.object_number = root + 1 + static_cast<int>(j);
        b.parent = b.first = b.last = b.next = b.prev = 0;
    }
    items[0].parent = root;

    // latest[level] is the index of the latest item of that level, kNone for none yet.
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::array<std::size_t, 256> latest;
    latest.fill(kNone);
    latest[0] = 0;
    int top_items = 0;
    // parent_of[j] is the index of item j's parent.
    std::vector<std::size_t> parent_of(n, kNone);
    for (std::size_t j = 1; j < n; ++j) {
        const int level = items[j].level;
        latest[static_cast<std::size_t>(level)] = j;
        if (level < 255) latest[static_cast<std::size_t>(level) + 1] = kNone;
        // An item without an item one level up hangs below the nearest shallower one (the
        // title at the latest), so no item points at a parent that does not exist.
        int up = level - 1;
        while (up > 0 && latest[static_cast<std::size_t>(up)] == kNone)
            --up;
        parent_of[j] = latest[static_cast<std::size_t>(up)];
        BookmarkRecord& parent = items[parent_of[j]];
        items[j].parent = parent.object_number;
        if (parent.first == 0) parent.first = items[j].object_number;
        parent.last = items[j].object_number;
        if (parent_of[j] == 0) ++top_items;
    }
    // Siblings are the items that share a parent, in recording order.
    std::vector<std::size_t> last_child(n, kNone);
    std::vector<int> children(n, 0);
    for (std::size_t j = 1; j < n; ++j) {
        ++children[parent_of[j]];
        const std::size_t previous = last_child[parent_of[j]];
        if (previous != kNone) {
            items[previous].next = items[j].object_number;
            items[j].prev = items[previous].object_number;
        }
        last_child[parent_of[j]] = j;
    }

    BeginIndirectObject(s, root);
    WriteFileLine(s, "<< /Count 1 /First " + Ref(root + 1) + " /Last " + Ref(root + 1) + " >>");
    EndIndirectObject(s);
    for (std::size_t j = 0; j < n; ++j) {
        const BookmarkRecord& b = items[j];
        BeginIndirectObject(s, b.object_number);
        std::string text = "<< /Title " + FormatLiteral(s, b.caption) + "\r";
        text += "/Parent " + Ref(b.parent) + "\r";
        if (b.first > 0) text += "/First " + Ref(b.first) + "\r";
        if (b.last > 0) text += "/Last " + Ref(b.last) + "\r";
        if (b.prev > 0) text += "/Prev " + Ref(b.prev) + "\r";
        if (b.next > 0) text += "/Next " + Ref(b.next) + "\r";
        if (j == 0 && top_items != 0) {
            text += "/Count " + std::to_string(top_items) + "\r";
        } else if (j != 0 && children[j] != 0 && s.pdfa_mode) {
            // An archived outline says how many items each closed item hides; the negative
            // count keeps the item closed, as viewers show an item without one.
            text += "/Count -" + std::to_string(children[j]) + "\r";
        }
        if (!b.destination.empty()) {
            if (b.kind == 5) {
                text += b.destination + "\r";
            } else {
                text += "/Dest [" + Ref(PageObject(s, b.page)) + " " + b.destination + "]\r";
            }
        }
        if (!b.color.empty()) text += "/C [" + b.color + "]\r";
        if (b.style != 0) text += "/F " + std::to_string(b.style) + "\r";
        WriteFileLine(s, text + ">>");
        EndIndirectObject(s);
    }
    return root;
}

int WriteDestinations(WriterState& s) {
    if (s.destinations.empty()) return 0;
    const int n = BeginIndirectObject(s, 0);
    WriteFileLine(s, "<<");
    const int last_page = PageCount(s);
    for (DestinationRecord& d : s.destinations) {
        ResolvePageSpec(s, d);
        if (d.page >= last_page || d.page == -1) d.page = last_page;
        if (d.page < 1) d.page = 1;
        // A destination without a view shows the whole page.
        const std::string fit = d.fit.empty() ? "/Fit" : d.fit;
        WriteFileLine(s, d.name + " [" + Ref(PageObject(s, d.page)) + " " + fit + "] ");
    }
    WriteFileLine(s, ">>");
    EndIndirectObject(s);
    return n;
}

void WriteNavigation(WriterState& s) {
    s.outline_root = WriteOutlines(s);
    s.dests_object = WriteDestinations(s);
}

void WriteNavigationCatalogLines(WriterState& s) {
    if (s.outline_root != 0) WriteFileLine(s, "/Outlines " + Ref(s.outline_root));
    if (s.dests_object != 0) WriteFileLine(s, "/Dests " + Ref(s.dests_object));
}

} // namespace detail

std::string Pagora::AddBookmark(std::string_view Caption, int Level, int TypeOfBookmark,
                                float Param1, float Param2, float Param3, float Param4,
                                std::string_view LinkParam, std::string_view Color,
                                int FontStyle) try {
    auto& s = m_->writer;
    // The colour is checked before anything is recorded, so a bad colour adds no item.
    std::string color;
    if (!Color.empty()) color = detail::BookmarkColor(*m_, Color);
    if (TypeOfBookmark == 5 && LinkParam.substr(0, 7) == "script:")
        detail::RefuseInPdfa(s, "AddBookmark", "a script");
    std::string reference = detail::AddBookmarkRecord(s, Caption, Level, TypeOfBookmark, Param1,
                                                      Param2, Param3, Param4);
    if (reference.empty()) return reference;
    detail::BookmarkRecord& item = s.bookmarks.back();
    if (TypeOfBookmark == 5) item.destination = detail::WriteBookmarkAction(s, LinkParam);
    if (!color.empty()) {
        item.color = color;
        detail::RequireVersion(s, 1);
    }
    if (FontStyle != 0) {
        if (FontStyle & 2) item.style = 1;
        if (FontStyle & 1) item.style += 2;
        detail::RequireVersion(s, 1);
    }
    return reference;
} catch (...) {
    detail::RethrowFailure("AddBookmark");
}

void Pagora::DefineRef(std::string_view RefName, int TypeOfBookmark, float X, float Y, float Width,
                       float Height, float Zoom) try {
    detail::RefuseNulName(RefName, "DefineRef");
    auto& s = m_->writer;
    const float sf = s.scale_factor;
    const auto& c = m_->content;
    const float x = X == 0 ? c.current_x : X * sf;
    const float y = Y == 0 ? s.page_height - c.current_y : s.page_height - Y * sf;
    std::string fit;
    switch (TypeOfBookmark) {
    case 0:
        fit = "/FitB";
        break;
    case 1:
        fit = "/FitV " + detail::FormatReal(s, x);
        break;
    case 2:
        fit = "/FitH " + detail::FormatReal(s, y);
        break;
    case 3: {
        const float x2 = x + Width * sf;
        const float y2 = y - Height * sf;
        fit = "/FitR " + detail::FitRectangle(s, x, y, x2, y2);
        break;
    }
    case 4:
        fit = "/XYZ " + detail::FormatReal(s, x) + " " + detail::FormatReal(s, y) + " " +
              detail::FormatReal(s, Zoom / 100);
        break;
    default:
        break;
    }
    detail::DestinationRecord& d = detail::AppendRecord(s.destinations, s.memory_factor);
    d.page = s.current_page;
    // The caller's name goes into a name token: delimiters and blanks are escaped.
    d.name = "/" + s.resource_prefix + "REF_" + detail::PdfNameText(RefName);
    d.fit = std::move(fit);
    d.page_spec.clear();
} catch (...) {
    detail::RethrowFailure("DefineRef");
}

} // namespace pagora
