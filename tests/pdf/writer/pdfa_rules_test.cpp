// The rules of archival documents that need no file: CMYK operators of drawings given in RGB,
// and the annotation flags an archival document writes.
#include "pdf/writer/pdfa_rules.h"

#include "pdf/writer/members.h"
#include "pdf/writer/writer_state.h"
#include "tests/support/fixed_host.h"

#include <gtest/gtest.h>

namespace {

using pagora::detail::PdfaAnnotationFlags;
using pagora::detail::PdfaRgbContent;
using pagora::detail::WriterState;

TEST(PdfaRules, DrawingColoursInCmykComeOutInRgb) {
    struct Case {
        const char* content;
        const char* archival;
    };
    const Case cases[] = {
        {"\r0 0 1 0 K\r6 w", "\r1 1 0 RG\r6 w"},
        {"\r0.5 0 0.5 0.5 k 1 0 0 1 k", "\r0.25 0.5 0.25 rg 0 0 0 rg"},
        {"\r+0.2 0 0 0 k", "\r0.8 1 1 rg"},
        // Operands that are not four numbers, and operators that only end in k, stay.
        {"\r1 0 0 k\r0 0 0 x k\r0 0 0 0 kk", "\r1 0 0 k\r0 0 0 x k\r0 0 0 0 kk"},
        {"\r0.1 0.2 0.3 rg", "\r0.1 0.2 0.3 rg"},
    };
    WriterState s;
    for (const Case& c : cases) {
        s.pdfa_mode = false;
        EXPECT_EQ(PdfaRgbContent(s, c.content), c.content);
        s.pdfa_mode = true;
        EXPECT_EQ(PdfaRgbContent(s, c.content), c.archival) << c.content;
    }
}

TEST(PdfaRules, CmykColoursAreGivenInRgbAsAScreenShowsThem) {
    struct Case {
        const char* colour;
        const char* plain;    // the colour string of other documents
        const char* archival; // the colour string of an archival document
    };
    const Case cases[] = {
        {"@0;100;100;0", "@0 1 1 0", "#1 0 0"},
        {"@0;0;0;100", "@0 0 0 1", "#0 0 0"},
        {"@20;40;60;50", "@0.2 0.4 0.6 0.5", "#0.4 0.3 0.2"},
        {"@0;0;0;0", "@0 0 0 0", "#1 1 1"},
        // Percentages beyond the range give the nearest colour there is.
        {"@150;0;-20;0", "@1.5 0 -0.2 0", "#0 1 1"},
        // RGB and grey stay as they are.
        {"@255;0;0", "#1 0 0", "#1 0 0"},
        {"%25", "%0.75", "%0.75"},
    };
    for (const bool archival : {false, true}) {
        pagora::Pagora pdf(testing_support::MakeFixedHost());
        pdf.SetPDFa(archival);
        for (const Case& c : cases) {
            pdf.SetColorText(c.colour);
            EXPECT_EQ(pagora::detail::StateOf(pdf).content.text_color,
                      archival ? c.archival : c.plain)
                << c.colour;
        }
    }
}

TEST(PdfaRules, AnnotationsArePrintedAndNeverHidden) {
    WriterState s;
    EXPECT_EQ(PdfaAnnotationFlags(s, 2 + 32), 2 + 32);
    s.pdfa_mode = true;
    // Invisible, hidden, no view and toggle no view go; print comes; the rest stays.
    EXPECT_EQ(PdfaAnnotationFlags(s, 0), 4);
    EXPECT_EQ(PdfaAnnotationFlags(s, 1 + 2 + 8 + 16 + 32 + 64 + 128 + 256), 4 + 8 + 16 + 64 + 128);
}

} // namespace
