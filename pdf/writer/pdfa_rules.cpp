#include "pdf/writer/pdfa_rules.h"

#include "pdf/fonts/code_pages.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace pagora::detail {

void RefuseInPdfa(const WriterState& s, std::string_view operation, std::string_view what) {
    if (!s.pdfa_mode) return;
    RaiseError(kErrInvalidCall, operation,
               std::string(what) + " cannot be part of a PDF/A document");
}

void DropPdfaClaim(WriterState& s, int error, std::string_view operation, std::string_view why) {
    if (!s.pdfa_mode) return;
    s.pdfa_broken = true;
    RecordError(s, PdfError(error, "", ErrorText(error)), operation,
                std::string(why) + ": the document is no PDF/A document");
}

int PdfaAnnotationFlags(const WriterState& s, int flags) {
    if (!s.pdfa_mode) return flags;
    constexpr int kInvisible = 1, kHidden = 2, kPrint = 4, kNoView = 32, kToggleNoView = 256;
    return (flags & ~(kInvisible | kHidden | kNoView | kToggleNoView)) | kPrint;
}

std::string PdfaInfoText(const WriterState& s, std::string_view value) {
    if (!s.pdfa_mode) return std::string(value);
    bool plain = true;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || (byte < 0x20 && c != '\t' && c != '\n' && c != '\r')) plain = false;
    }
    if (plain) return std::string(value);
    const std::string utf8 = DecodeCodePage(value, 0);
    std::string text = "\xFE\xFF";
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t point = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && i + static_cast<std::size_t>(k) < utf8.size(); ++k)
            point = point << 6 |
                    (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
        i += static_cast<std::size_t>(length);
        if (point < 0x20 && point != '\t' && point != '\n' && point != '\r') continue;
        // Every single-byte code page maps into the basic plane: one unit per character.
        text += static_cast<char>(point >> 8 & 0xFF);
        text += static_cast<char>(point & 0xFF);
    }
    return text;
}

std::string PdfaRgbContent(const WriterState& s, std::string content) {
    if (!s.pdfa_mode) return content;
    struct Token {
        std::size_t begin, end;
    };
    const auto blank = [](char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t'; };
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < content.size();) {
        if (blank(content[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < content.size() && !blank(content[i]))
            ++i;
        tokens.push_back({start, i});
    }
    std::string out;
    std::size_t copied = 0;
    for (std::size_t t = 4; t < tokens.size(); ++t) {
        const std::string_view op(content.data() + tokens[t].begin,
                                  tokens[t].end - tokens[t].begin);
        if (op != "k" && op != "K") continue;
        double cmyk[4];
        bool numbers = true;
        for (std::size_t j = 0; j < 4 && numbers; ++j) {
            const Token& operand = tokens[t - 4 + j];
            const char* first = content.data() + operand.begin;
            const char* last = content.data() + operand.end;
            if (first != last && *first == '+') ++first;
            const auto [end, error] = std::from_chars(first, last, cmyk[j]);
            numbers = error == std::errc() && end == last;
        }
        if (!numbers || tokens[t - 4].begin < copied) continue;
        out.append(content, copied, tokens[t - 4].begin - copied);
        const double black = 1 - std::clamp(cmyk[3], 0.0, 1.0);
        for (std::size_t j = 0; j < 3; ++j) {
            const double value = (1 - std::clamp(cmyk[j], 0.0, 1.0)) * black;
            out += FormatReal(s, static_cast<float>(value)) + " ";
        }
        out += op == "k" ? "rg" : "RG";
        copied = tokens[t].end;
    }
    out.append(content, copied, std::string::npos);
    return out;
}

} // namespace pagora::detail
