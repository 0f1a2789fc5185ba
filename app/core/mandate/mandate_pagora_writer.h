// The mandate's writer interface on the library's PDF writer.
#pragma once

#include "app/core/mandate/mandate_builder.h"
#include "app/core/mandate/mandate_writer.h"
#include "pdf/writer/Pagora.h"

#include <memory>

namespace kerbolt::mandate {

class PagoraWriter final : public IPdfWriter {
public:
    // A null host gives the library's own (system clock and random source). `compress` deflates
    // every stream: the logo alone is megabytes of pixels when stored as they are.
    explicit PagoraWriter(std::shared_ptr<pagora::PagoraHost> host = nullptr, bool compress = true);

    std::string BeginDoc(const std::string& strFileName) override;
    void SetPaperSize(int PaperSize, float UserWidth, float UserHeight) override;
    int BeginPage(int PageNumber) override;
    void DrawImage(const std::string& FileName, float DestX, float DestY, float ImgWidth,
                   float ImgHeight, int FrameNumber, const std::string& ColorMask,
                   bool MantainRatio) override;
    void SetFont(const std::string& FontFamily, float Size, int Style, int Encoding) override;
    void SetColorText(std::string_view Color) override;
    void DrawText(float X, float Y, const std::string& Text, int Align) override;
    std::string DrawTextBox(float X, float Y, float Width, float Height, const std::string& Text,
                            int Align, int Options) override;
    void EndPage() override;
    void EndDoc() override;
    int ErrNumber() const override;
    std::string ErrDescription() const override;

private:
    pagora::Pagora pdf_;
};

// Makes one library writer per document, compressed unless asked otherwise.
PdfWriterFactory PagoraWriterFactory(std::shared_ptr<pagora::PagoraHost> host = nullptr,
                                     bool compress = true);

} // namespace kerbolt::mandate
