#include "app/core/mandate/mandate_layout.h"

#include "app/core/store/stored_text.h"
#include "pdf/writer/Pagora.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace kerbolt::mandate {

namespace {

constexpr const char* kFontFamily = "Arial";
constexpr int kWesternCharset = 0;
constexpr int kRegular = 0;
constexpr int kBold = 1;
constexpr float kTitleSize = 14;
constexpr std::int16_t kTextPoints = 12;
constexpr float kTextSize = kTextPoints;
constexpr std::int16_t kMinimumBoxHeight = 25;
constexpr int kTextAlignLeft = 1;
constexpr int kBoxAlignTopLeft = 9;
constexpr int kBoxNoFrame = 1;
constexpr std::string_view kBlankLine = "___________________________";

// The writer takes single-byte text in the Western code page.
std::string Bytes(const std::string& utf8) {
    return pagora::Pagora::FromUtf8(utf8, kWesternCharset);
}

class Layout {
public:
    Layout(IPdfWriter& pdf, const MandateDocument& doc) : pdf_(pdf), doc_(doc) {}

    MandateResult Write() {
        pdf_.BeginDoc(doc_.output_path);
        if (pdf_.ErrNumber() != 0) return {false, pdf_.ErrDescription()};
        pdf_.SetPaperSize(0, 0, 0);
        pdf_.BeginPage(0);
        DrawLogo();
        y_ = TopOfText();
        UseFont(kTitleSize, kBold);
        pdf_.SetColorText("Black");
        Parties();
        PageCheck();
        for (int section = 0; section < 6; ++section) {
            Line(kLeftMargin, y_, Text(kSectionHeadings[static_cast<std::size_t>(section)]), kBold);
            y_ += 20;
            Body(SectionBody(doc_, section));
            PageCheck();
        }
        Closing();
        pdf_.EndPage();
        pdf_.EndDoc();
        if (pdf_.ErrNumber() != 0) return {false, pdf_.ErrDescription()};
        return {true, {}};
    }

private:
    static constexpr std::array<std::int16_t, 6> kSectionHeadings = {14, 18, 20, 22, 24, 26};

    std::string Text(std::int16_t number) const {
        return MandateText(number, doc_.language, doc_.op);
    }

    int TopOfText() const { return kLogoTop + doc_.logo_height + 20; }

    void DrawLogo() {
        if (doc_.logo_path.empty()) return;
        pdf_.DrawImage(doc_.logo_path, kLeftMargin, kLogoTop, kLogoWidth,
                       static_cast<float>(doc_.logo_height), 1, "", false);
    }

    void NewPage() {
        pdf_.EndPage();
        pdf_.BeginPage(0);
        DrawLogo();
        y_ = TopOfText();
    }

    void PageCheck() {
        if (y_ > kBottomLimit) NewPage();
    }

    // Sets the font only where the style changes: the writer keeps it across lines and pages.
    void UseFont(float size, int style) {
        const std::pair<float, int> wanted{size, style};
        if (font_ == wanted) return;
        pdf_.SetFont(kFontFamily, size, style, kWesternCharset);
        font_ = wanted;
    }

    void Line(int x, int y, const std::string& text, int style, float size = kTextSize) {
        UseFont(size, style);
        pdf_.DrawText(static_cast<float>(x), static_cast<float>(y), Bytes(text), kTextAlignLeft);
    }

    void Parties() {
        const MandateContact& c = doc_.contact;
        const MandateOperator& op = doc_.op;
        const std::string blank = " " + std::string(kBlankLine);
        struct Row {
            std::string text;
            int style;
            int step;
        };
        const Row rows[] = {
            {Text(2), kRegular, 20},
            {Text(3), kBold, 20},
            {Text(4) + " " + c.name, kRegular, 15},
            {Text(5) + " " + c.street_line + ", " + c.postcode_and_town, kRegular, 15},
            {Text(6) + blank, kRegular, 15},
            {Text(7) + blank, kRegular, 15},
            {Text(8) + " ", kRegular, 25},
            {Text(9), kBold, 20},
            {op.web_domain, kRegular, 15},
            {op.company + ", " + op.street_line + ", " + op.town_line, kRegular, 15},
            {op.contact_mail, kRegular, 25},
        };
        Line(kLeftMargin, y_, Text(1), kBold, kTitleSize);
        y_ += 30;
        for (const Row& row : rows) {
            Line(kLeftMargin, y_, row.text, row.style);
            y_ += row.step;
        }
    }

    // A section's text in a box of its estimated height under the heading. A box that would run
    // past the page's edge is cut there and the rest continues on a new page; text that the
    // estimate did not make room for continues right below. Either way no line is lost, and a
    // box that fits is drawn exactly once at its estimated height.
    void Body(const std::string& body) {
        UseFont(kTextSize, kRegular);
        std::string text = Bytes(body);
        int height = EstimateTextHeight(text, kEstimateWidth, kTextPoints, kMinimumBoxHeight);
        for (;;) {
            // A box that would start with less room than the smallest box goes to a new page.
            if (y_ + height > kPageHeight && kPageHeight - y_ < kMinimumBoxHeight &&
                y_ > TopOfText())
                NewPage();
            // A height of 0 would mean "down to the page's bottom" to the writer.
            const int box = std::max(1, std::min(height, kPageHeight - y_));
            std::string rest =
                pdf_.DrawTextBox(kLeftMargin, static_cast<float>(y_), kBoxWidth,
                                 static_cast<float>(box), text, kBoxAlignTopLeft, kBoxNoFrame);
            y_ += box;
            // The size check stops a writer that hands back as much as it was given.
            if (rest.empty() || rest.size() >= text.size()) break;
            if (box < height) NewPage();
            text = std::move(rest);
            height = EstimateTextHeight(text, kEstimateWidth, kTextPoints, kMinimumBoxHeight);
        }
        y_ += 10;
    }

    void Closing() {
        const MandateOperator& op = doc_.op;
        Line(kLeftMargin, y_, Text(30), kBold);
        Line(kReturnAddressX, y_ + 30, op.company, kRegular);
        Line(kReturnAddressX, y_ + 50, op.street_line, kRegular);
        Line(kReturnAddressX, y_ + 70, op.town_line, kRegular);
        Line(kLeftMargin, y_ + 100, Text(31), kBold);
    }

    IPdfWriter& pdf_;
    const MandateDocument& doc_;
    int y_ = 0;
    std::optional<std::pair<float, int>> font_;
};

} // namespace

MandateContact ContactFrom(const store::InfosRecord& infos) {
    MandateContact contact;
    contact.name = infos.Nom;
    contact.street_line = store::TrimBlanks(infos.rue + " " + infos.no);
    contact.town = store::TrimBlanks(infos.ville);
    contact.postcode_and_town = store::TrimBlanks(infos.npa + " " + contact.town);
    return contact;
}

std::int32_t LogoHeight(std::int32_t picture_width, std::int32_t picture_height) {
    if (picture_width <= 0 || picture_height <= 0) return 0;
    const double height = static_cast<double>(picture_height) * 100.0 / picture_width;
    // The default rounding mode rounds halves to even.
    return static_cast<std::int32_t>(std::nearbyint(std::min(height, 2147483647.0)));
}

std::string FormatPlaceList(const std::vector<std::string>& addresses) {
    std::string list;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        if (i > 0) list += "\r\n";
        list += "- " + addresses[i];
    }
    return list;
}

std::int16_t EstimateTextHeight(std::string_view text, std::int32_t width, std::int16_t size,
                                std::int16_t minimum) {
    const std::int64_t char_width = std::llrint(size * 0.6);
    std::int64_t lines = 1;
    std::int64_t line_length = 0; // characters in the line, the blank after each word included
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = text.find(' ', start);
        const auto word_length = static_cast<std::int64_t>(
            (blank == std::string_view::npos ? text.size() : blank) - start);
        if (word_length * char_width + line_length * char_width + char_width > width) {
            line_length = word_length + 1;
            ++lines;
        } else {
            line_length += word_length + 1;
        }
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
         at = text.find("\r\n", at + 2))
        ++lines;
    // A text too long for a 16-bit height gets the largest one rather than a wrapped number.
    const std::int64_t height =
        std::min<std::int64_t>((size + 4) * lines, std::numeric_limits<std::int16_t>::max());
    return static_cast<std::int16_t>(std::max<std::int64_t>(height, minimum));
}

std::string SectionBody(const MandateDocument& doc, int index) {
    const auto text = [&](std::int16_t number) {
        return MandateText(number, doc.language, doc.op);
    };
    switch (index) {
    case 0:
        // A user without spots gets the sentence alone rather than an empty list line.
        if (doc.place_addresses.empty()) return text(15);
        return text(15) + "\r\n" + FormatPlaceList(doc.place_addresses);
    case 1:
        return text(19);
    case 2:
        return text(21);
    case 3:
        return text(23);
    case 4:
        return text(25);
    case 5: {
        const std::string place_and_date = ReplaceAll(text(27), "{ville}", doc.contact.town);
        return place_and_date + "\r\n\r\n" + text(28) + "\r\n\r\n\r\n" + std::string(kBlankLine);
    }
    default:
        return {};
    }
}

MandateResult WriteMandate(IPdfWriter& pdf, const MandateDocument& doc) {
    return Layout(pdf, doc).Write();
}

} // namespace kerbolt::mandate
