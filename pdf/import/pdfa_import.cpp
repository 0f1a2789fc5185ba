#include "pdf/import/pdfa_import.h"

#include "pdf/import/object_syntax.h"

#include <array>
#include <vector>

namespace pagora::detail {

namespace {

// The tokens of a text: names with their "/", numbers and keywords, and the delimiters of
// arrays and dictionaries; strings and comments are left out.
std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const int c = static_cast<unsigned char>(text[pos]);
        if (IsPdfWhite(c)) {
            ++pos;
        } else if (c == '%') {
            while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n')
                ++pos;
        } else if (c == '(') {
            pos = LiteralStringEnd(text, pos);
        } else if (c == '<' && pos + 1 < text.size() && text[pos + 1] != '<') {
            const std::size_t close = text.find('>', pos);
            pos = close == std::string_view::npos ? text.size() : close + 1;
        } else if (c == '/') {
            std::size_t end = pos + 1;
            while (end < text.size() && IsPdfRegular(static_cast<unsigned char>(text[end])))
                ++end;
            tokens.push_back(text.substr(pos, end - pos));
            pos = end;
        } else if (!IsPdfRegular(c)) {
            const bool twice =
                (c == '<' || c == '>') && pos + 1 < text.size() && text[pos + 1] == c;
            tokens.push_back(text.substr(pos, twice ? 2 : 1));
            pos += twice ? 2 : 1;
        } else {
            std::size_t end = pos;
            while (end < text.size() && IsPdfRegular(static_cast<unsigned char>(text[end])))
                ++end;
            const std::string_view token = text.substr(pos, end - pos);
            tokens.push_back(token);
            pos = end;
            if (token == "ID") {
                // Inline image data runs to "EI" after white space; it is no syntax.
                std::size_t at = pos;
                while ((at = text.find("EI", at)) != std::string_view::npos) {
                    const bool before =
                        at > 0 && IsPdfWhite(static_cast<unsigned char>(text[at - 1]));
                    const bool after = at + 2 >= text.size() ||
                                       !IsPdfRegular(static_cast<unsigned char>(text[at + 2]));
                    if (before && after) break;
                    at += 2;
                }
                pos = at == std::string_view::npos ? text.size() : at;
            }
        }
    }
    return tokens;
}

bool IsOne(std::string_view number) {
    return number == "1" || number == "1.0" || number == "1." || number == "1.00" ||
           number == "1.000";
}

std::string NameObstacle(const std::vector<std::string_view>& tokens, std::size_t i) {
    const std::string_view name = tokens[i];
    const std::string_view next = i + 1 < tokens.size() ? tokens[i + 1] : std::string_view();
    if (name == "/SMask" && next != "/None") return "transparency";
    if ((name == "/CA" || name == "/ca") && !IsOne(next)) return "transparency";
    if (name == "/BM" && next != "/Normal" && next != "/Compatible") return "transparency";
    if (name == "/S" && next == "/Transparency") return "transparency";
    if (name == "/LZWDecode") return "LZW-compressed data";
    if (name == "/JPXDecode") return "a JPEG 2000 picture";
    if (name == "/DeviceCMYK") return "colours in CMYK";
    if (name == "/JavaScript" || name == "/Launch" || name == "/Movie" || name == "/Sound")
        return "an action no archival file may hold";
    if (name == "/EmbeddedFile" || name == "/EmbeddedFiles") return "an embedded file";
    if (name == "/Interpolate" && next == "true") return "an interpolated picture";
    if (name == "/TR" || (name == "/TR2" && next != "/Default")) return "a transfer function";
    if (name == "/OPI" || name == "/PS" || name == "/Alternates") return "PostScript";
    if (name == "/OC" || name == "/OCProperties") return "optional content";
    if (name == "/BitsPerComponent" && next == "16") return "a 16-bit picture";
    return {};
}

bool HasName(const std::vector<std::string_view>& tokens, std::string_view name) {
    for (const std::string_view token : tokens)
        if (token == name) return true;
    return false;
}

// A font whose program the file does not carry: a descriptor without a font file, or a simple
// font of a kind that needs a program and has no descriptor (a standard font by name).
bool UnembeddedFont(const std::vector<std::string_view>& tokens) {
    bool descriptor = false, font = false, needs_program = false;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i] == "/Type" && tokens[i + 1] == "/FontDescriptor") descriptor = true;
        if (tokens[i] == "/Type" && tokens[i + 1] == "/Font") font = true;
        if (tokens[i] == "/Subtype" && (tokens[i + 1] == "/Type1" || tokens[i + 1] == "/TrueType" ||
                                        tokens[i + 1] == "/MMType1"))
            needs_program = true;
    }
    if (descriptor) {
        return !HasName(tokens, "/FontFile") && !HasName(tokens, "/FontFile2") &&
               !HasName(tokens, "/FontFile3");
    }
    return font && needs_program && !HasName(tokens, "/FontDescriptor");
}

} // namespace

std::string PdfaObjectObstacle(std::string_view text) {
    const std::vector<std::string_view> tokens = Tokens(text);
    if (UnembeddedFont(tokens)) return "a font that is not embedded";
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].front() != '/') continue;
        std::string obstacle = NameObstacle(tokens, i);
        if (!obstacle.empty()) return obstacle;
    }
    return {};
}

std::string PdfaContentObstacle(std::string_view content) {
    const std::vector<std::string_view> tokens = Tokens(content);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string_view token = tokens[i];
        if (token == "k" || token == "K") return "colours in CMYK";
        if (token.front() != '/') continue;
        std::string obstacle = NameObstacle(tokens, i);
        if (!obstacle.empty()) return obstacle;
    }
    return {};
}

} // namespace pagora::detail
