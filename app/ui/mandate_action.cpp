#include "app/ui/mandate_action.h"

#include "app/core/texts/desktop_texts.h"
#include "app/ui/ticket_painter.h"

#include <QPainter>

#include <cstring>
#include <exception>
#include <utility>

namespace kerbolt::ui {

mandate::RgbImage MandateLogoPixels(const QImage& picture) {
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) return {};
    QImage flat(picture.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
    }
    mandate::RgbImage pixels;
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

namespace {

// Passes every call on and keeps the document that did not open, so that the user can be told
// where the finished mandate lies.
class OpenWatch final : public IShell {
public:
    explicit OpenWatch(IShell& shell) : shell_(shell) {}
    bool OpenDocument(const std::string& path) override {
        const bool opened = shell_.OpenDocument(path);
        if (!opened) unopened = path;
        return opened;
    }
    bool OpenUrl(const std::string& url) override { return shell_.OpenUrl(url); }
    bool StartProgram(const std::string& path, const std::string& arguments,
                      const std::string& working_folder) override {
        return shell_.StartProgram(path, arguments, working_folder);
    }
    std::string unopened;

private:
    IShell& shell_;
};

} // namespace

bool BuildMandateDocument(const store::State& state, const QImage& logo, IShell& shell,
                          IPrompts& prompts, const mandate::PdfWriterFactory& make_writer) {
    mandate::MandateResult result;
    OpenWatch watch(shell);
    try {
        result = mandate::BuildMandatePdf(state, MandateLogoPixels(logo), watch, make_writer);
    } catch (const std::exception& error) {
        // Nothing may leave a button's handler: the user is told instead.
        result = {false, error.what()};
    }
    if (!result.ok) prompts.Show(result.error, MessageIcon::Critical);
    if (result.ok && !watch.unopened.empty())
        prompts.Show(texts::DocumentNotOpenedMessage(state.Language, watch.unopened),
                     MessageIcon::Exclamation);
    return result.ok;
}

void InstallMandateHook(AppContext& context, mandate::PdfWriterFactory make_writer) {
    context.hooks.build_mandate = [&context, make_writer = std::move(make_writer)](frmMain&) {
        // The window shows the shipped logo; the document carries the same picture.
        return BuildMandateDocument(context.state, TicketLogo(), context.shell, context.prompts,
                                    make_writer);
    };
}

} // namespace kerbolt::ui
