#include "app/core/mandate/mandate_pagora_writer.h"

#include <cstdint>
#include <utility>

namespace kerbolt::mandate {

namespace {

// Deflate (filter flag 2) at the writer's smallest level (5), the same for page contents, images
// and embedded files.
constexpr int kDeflateSmallest = 0x502;

} // namespace

PagoraWriter::PagoraWriter(std::shared_ptr<pagora::PagoraHost> host, bool compress)
    : pdf_(std::move(host)) {
    if (compress) pdf_.SetCompression(kDeflateSmallest, kDeflateSmallest, kDeflateSmallest);
}

std::string PagoraWriter::BeginDoc(const std::string& strFileName) {
    return pdf_.BeginDoc(strFileName);
}

void PagoraWriter::SetPaperSize(int PaperSize, float UserWidth, float UserHeight) {
    pdf_.SetPaperSize(PaperSize, UserWidth, UserHeight);
}

int PagoraWriter::BeginPage(int PageNumber) {
    return pdf_.BeginPage(PageNumber);
}

void PagoraWriter::DrawImage(const std::string& FileName, float DestX, float DestY, float ImgWidth,
                             float ImgHeight, int FrameNumber, const std::string& ColorMask,
                             bool MantainRatio) {
    pdf_.DrawImage(FileName, DestX, DestY, ImgWidth, ImgHeight,
                   static_cast<std::int16_t>(FrameNumber), ColorMask, MantainRatio);
}

void PagoraWriter::SetFont(const std::string& FontFamily, float Size, int Style, int Encoding) {
    pdf_.SetFont(FontFamily, Size, Style, Encoding);
}

void PagoraWriter::SetColorText(std::string_view Color) {
    pdf_.SetColorText(Color);
}

void PagoraWriter::DrawText(float X, float Y, const std::string& Text, int Align) {
    pdf_.DrawText(X, Y, Text, Align);
}

std::string PagoraWriter::DrawTextBox(float X, float Y, float Width, float Height,
                                      const std::string& Text, int Align, int Options) {
    return pdf_.DrawTextBox(X, Y, Width, Height, Text, Align, Options);
}

void PagoraWriter::EndPage() {
    pdf_.EndPage();
}

void PagoraWriter::EndDoc() {
    pdf_.EndDoc();
}

int PagoraWriter::ErrNumber() const {
    return pdf_.ErrNumber();
}

std::string PagoraWriter::ErrDescription() const {
    return pdf_.ErrDescription();
}

PdfWriterFactory PagoraWriterFactory(std::shared_ptr<pagora::PagoraHost> host, bool compress) {
    return [host = std::move(host), compress]() -> std::unique_ptr<IPdfWriter> {
        return std::make_unique<PagoraWriter>(host, compress);
    };
}

} // namespace kerbolt::mandate
