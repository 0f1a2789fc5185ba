// The part of the PDF writer that the mandate document uses, as an interface, so that the
// document's layout can be followed call by call without writing a file.
#pragma once

#include <string>
#include <string_view>

namespace kerbolt::mandate {

// The writer's operations under their own names and with their own arguments. Texts are
// single-byte strings in the Western code page; file names are given as the system spells them.
class IPdfWriter {
public:
    virtual ~IPdfWriter() = default;
    // Creates the output file; a failure is recorded (ErrNumber), not raised.
    virtual std::string BeginDoc(const std::string& strFileName) = 0;
    virtual void SetPaperSize(int PaperSize, float UserWidth, float UserHeight) = 0;
    virtual int BeginPage(int PageNumber) = 0;
    virtual void DrawImage(const std::string& FileName, float DestX, float DestY, float ImgWidth,
                           float ImgHeight, int FrameNumber, const std::string& ColorMask,
                           bool MantainRatio) = 0;
    virtual void SetFont(const std::string& FontFamily, float Size, int Style, int Encoding) = 0;
    virtual void SetColorText(std::string_view Color) = 0;
    // Y is the baseline.
    virtual void DrawText(float X, float Y, const std::string& Text, int Align) = 0;
    // Y is the top of the box; returns the text that did not fit.
    virtual std::string DrawTextBox(float X, float Y, float Width, float Height,
                                    const std::string& Text, int Align, int Options) = 0;
    virtual void EndPage() = 0;
    virtual void EndDoc() = 0;
    // The last recorded error: 0 when none.
    virtual int ErrNumber() const = 0;
    virtual std::string ErrDescription() const = 0;
};

} // namespace kerbolt::mandate
