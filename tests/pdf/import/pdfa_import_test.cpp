// What keeps an imported page out of an archival document, found in its objects and content.
#include "pdf/import/pdfa_import.h"

#include <gtest/gtest.h>

namespace {

using pagora::detail::PdfaContentObstacle;
using pagora::detail::PdfaObjectObstacle;

struct Case {
    const char* text;
    const char* obstacle; // "" for none
};

const Case kObjects[] = {
    // Fonts: a program in the descriptor, or a standard font named without one.
    {"<< /Type /FontDescriptor /FontName /A /FontFile2 7 0 R >>", ""},
    {"<< /Type /FontDescriptor /FontName /A /Flags 32 >>", "a font that is not embedded"},
    {"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>", "a font that is not embedded"},
    {"<< /Type /Font /Subtype /TrueType /BaseFont /A /FontDescriptor 9 0 R >>", ""},
    {"<< /Type /Font /Subtype /Type0 /BaseFont /A /DescendantFonts [8 0 R] >>", ""},
    // Transparency: only the values that change nothing pass.
    {"<< /Type /ExtGState /CA 1 /ca 1.0 /BM /Normal /SMask /None >>", ""},
    {"<< /Type /ExtGState /ca 0.5 >>", "transparency"},
    {"<< /Type /ExtGState /BM /Multiply >>", "transparency"},
    {"<< /Type /XObject /Subtype /Image /SMask 12 0 R >>", "transparency"},
    {"<< /Group << /S /Transparency /CS /DeviceRGB >> >>", "transparency"},
    // Filters, colours, scripts and the rest.
    {"<< /Filter [/ASCII85Decode /LZWDecode] /Length 3 >>", "LZW-compressed data"},
    {"<< /ColorSpace /DeviceCMYK /Subtype /Image >>", "colours in CMYK"},
    {"<< /S /JavaScript /JS (x) >>", "an action no archival file may hold"},
    {"<< /Interpolate true /Subtype /Image >>", "an interpolated picture"},
    {"<< /Interpolate false /Subtype /Image >>", ""},
    // A name inside a string is no key.
    {"<< /Title (/SMask 1 0 R /DeviceCMYK) /Author <2F4C5A57> >>", ""},
};

TEST(PdfaImport, ObjectsThatNoArchivalFileMayHoldAreFound) {
    for (const Case& c : kObjects)
        EXPECT_EQ(PdfaObjectObstacle(c.text), c.obstacle) << c.text;
}

const Case kContents[] = {
    {"q 1 0 0 rg 0 0 10 10 re f Q BT /F1 12 Tf (k K) Tj ET", ""},
    {"0 0 0 1 k 0 0 10 10 re f", "colours in CMYK"},
    {"0.2 0.3 0.4 0.1 K 0 0 m 5 5 l S", "colours in CMYK"},
    {"/DeviceCMYK cs 0 0 0 1 sc", "colours in CMYK"},
    // Inline image data is passed over, whatever bytes it holds.
    {"BI /W 2 /H 1 /BPC 8 /CS /G ID \x01 k K\x02 EI Q", ""},
};

TEST(PdfaImport, ContentInCmykIsFound) {
    for (const Case& c : kContents)
        EXPECT_EQ(PdfaContentObstacle(c.text), c.obstacle) << c.text;
}

} // namespace
