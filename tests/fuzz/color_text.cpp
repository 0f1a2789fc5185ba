// Caller text read as a colour, a dash pattern and a point list: either a clear run-time error
// (overflow or type mismatch) and nothing written, or exactly one well-formed content line.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"

#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

const std::string& Content(pagora::Pagora& pdf) {
    return pagora::detail::StateOf(pdf).writer.page_content;
}

// Runs one call; a refused call must be refused cleanly, an accepted one must write one line
// matching the pattern (or nothing at all when `may_be_silent`).
template <typename Call>
void Check(pagora::Pagora& pdf, Call call, const std::regex& line, bool may_be_silent) {
    const std::string before = Content(pdf);
    try {
        call();
    } catch (const pagora::PdfError& error) {
        if (error.Number() != 6 && error.Number() != 9 && error.Number() != 13) std::abort();
        if (Content(pdf) != before) std::abort();
        return;
    }
    const std::string written = Content(pdf).substr(before.size());
    if (written.empty() && may_be_silent) return;
    if (written.empty() || written[0] != '\r') std::abort();
    if (!std::regex_match(written.substr(1), line)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    pagora::Pagora pdf;
    pagora::detail::StateOf(pdf).writer.in_page = true;
    const std::string number = "-?[0-9]+(\\.[0-9]+)?";
    const std::string name = "/[!-~]+";
    static const std::regex color_line("((" + number + " ){2}" + number + " rg)|((" + number +
                                       " ){3}" + number + " k)|(" + number + " g)|(/Pattern cs " +
                                       name + " scn)|(/CS-(RGB|CMYK|GRAY) cs (" + number + " )+" +
                                       name + " scn)");
    static const std::regex dash_line("\\[(" + number + ")?( " + number + ")* \\] " + number +
                                      " d");
    Check(
        pdf, [&] { pdf.SetColorFill(text); }, color_line, true);
    Check(
        pdf, [&] { pdf.SetDash(text, 1); }, dash_line, false);

    std::vector<std::string> points;
    std::size_t start = 0;
    for (std::size_t at = text.find(';'); at != std::string::npos; at = text.find(';', start)) {
        points.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    points.push_back(text.substr(start));
    const std::string before = Content(pdf);
    try {
        pdf.DrawPolyline(points, 2);
    } catch (const pagora::PdfError& error) {
        if ((error.Number() != 6 && error.Number() != 9) || Content(pdf) != before) std::abort();
    }
    return 0;
}
