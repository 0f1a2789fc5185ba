#include "app/ui/mandate_action.h"

#include "app/ui/ticket_painter.h"

#include <QPainter>

#include <cstring>
#include <exception>
#include <utility>

namespace kerbolt::ui {

modMandat::RgbImage MandateLogoPixels(const QImage& picture) {
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) return {};
    QImage flat(picture.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
    }
    modMandat::RgbImage pixels;
    pixels.width = flat.width();
    pixels.height = flat.height();
    const auto row_bytes = static_cast<std::size_t>(flat.width()) * 3;
    pixels.rgb.resize(row_bytes * static_cast<std::size_t>(flat.height()));
    // Qt pads its rows; the bitmap writer takes them unpadded.
    for (int y = 0; y < flat.height(); ++y)
        std::memcpy(pixels.rgb.data() + row_bytes * static_cast<std::size_t>(y),
                    flat.constScanLine(y), row_bytes);
    return pixels;
}

bool BuildMandateDocument(const Module1::State& state, const QImage& logo, IShell& shell,
                          IPrompts& prompts, const modMandat::PdfWriterFactory& make_writer) {
    modMandat::MandateResult result;
    try {
        result = modMandat::BuildMandatePdf(state, MandateLogoPixels(logo), shell, make_writer);
    } catch (const std::exception& error) {
        // Nothing may leave a button's handler: the user is told instead.
        result = {false, error.what()};
    }
    if (!result.ok) prompts.Show(result.error, MessageIcon::Critical);
    return result.ok;
}

void InstallMandateHook(AppContext& context, modMandat::PdfWriterFactory make_writer) {
    context.hooks.build_mandate = [&context, make_writer = std::move(make_writer)](frmMain&) {
        // The window shows the shipped logo; the document carries the same picture.
        return BuildMandateDocument(context.state, TicketLogo(), context.shell, context.prompts,
                                    make_writer);
    };
}

} // namespace kerbolt::ui
