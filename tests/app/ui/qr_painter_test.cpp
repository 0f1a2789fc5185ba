#include "app/ui/qr_painter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/ticket/ticket_preview.h"
#include "tests/support/temp_dir.h"

namespace {

using kerbolt::ticket::QrModules;
using kerbolt::ticket::QrPicture;

QImage Paint(const QrPicture& picture, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    kerbolt::ui::PaintQrPicture(painter, picture, QRectF(0, 0, side, side));
    return image;
}

bool IsBlack(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(0, 0, 0);
}
bool IsWhite(const QImage& image, int x, int y) {
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// Samples every module's centre of a symbol painted with 1-twip modules on a side of
// (size + 1) * scale pixels.
void ExpectModules(const QImage& image, const QrModules& modules, int scale) {
    for (int y = 0; y < modules.Size(); ++y) {
        for (int x = 0; x < modules.Size(); ++x) {
            // A half-module margin sits on each side.
            const int px = scale / 2 + x * scale + scale / 2;
            const int py = scale / 2 + y * scale + scale / 2;
            EXPECT_EQ(IsBlack(image, px, py), modules.IsDark(x, y)) << x << "," << y;
            EXPECT_TRUE(IsBlack(image, px, py) || IsWhite(image, px, py));
        }
    }
}

TEST(QrPainting, HolesStayWhiteAndCornerTouchingModulesFill) {
    const std::vector<std::vector<std::string_view>> shapes = {
        {"###", "#.#", "###"},
        {"#..", ".#.", "..#"},
        {"####", "#.##", "##.#", "####"},
        {"#####", "#...#", "#.#.#", "#...#", "#####"}, // a dark island inside a hole
    };
    for (const auto& rows : shapes) {
        const QrModules modules(rows);
        const QrPicture picture = kerbolt::ticket::RenderQrPicture(modules, 40, 0);
        const int side = picture.square / 4; // 10 pixels per module
        ExpectModules(Paint(picture, side), modules, 10);
    }
}

TEST(QrPainting, ForeColourIsTheWindowsColourValue) {
    const QrPicture picture = kerbolt::ticket::RenderQrPicture(QrModules({"#"}), 100, 0x00FF8000);
    const QImage image = Paint(picture, 40);
    EXPECT_EQ(image.pixel(20, 20), qRgb(0x00, 0x80, 0xFF));
    EXPECT_TRUE(IsWhite(image, 1, 1));
}

TEST(QrPainting, TicketBoxDecodesToThePayloadWithTheCrossInItsCentre) {
    kerbolt::ticket::TicketInputs inputs;
    inputs.account_key = "000NZFAP";
    inputs.amount = "50";
    inputs.plates = "VD 123456";
    const std::string payload = kerbolt::ticket::BuildTicketPreview(inputs).payload;
    const auto picture = kerbolt::ticket::CreateTicketQrPicture(payload);
    ASSERT_TRUE(picture.has_value());

    const int side = 696; // 12 pixels per module of a 57-module symbol
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter painter(&image);
        kerbolt::ui::PaintQrBox(painter, &*picture, QRectF(0, 0, side, side));
    }
    // The cross: white at its centre, black at the corners of its square, a white frame.
    const int c = side / 2;
    const int half_cross = static_cast<int>(side * 375.0 / 2608 / 2);
    EXPECT_TRUE(IsWhite(image, c, c));
    EXPECT_TRUE(IsBlack(image, c - half_cross + 7, c - half_cross + 7));
    EXPECT_TRUE(IsBlack(image, c + half_cross - 7, c + half_cross - 7));
    EXPECT_TRUE(IsWhite(image, c - half_cross + 1, c));

    testing_support::TempDir dir;
    ASSERT_TRUE(image.save(QString::fromStdString(dir.File("qr.png"))));
    const auto decoded =
        testing_support::RunCommand("ZXingReader -bytes -format QRCode " + dir.File("qr.png"));
    ASSERT_EQ(decoded.status, 0);
    EXPECT_EQ(decoded.out, payload);
}

TEST(QrPainting, WithoutAPictureTheBoxIsPlainWhite) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter painter(&image);
        kerbolt::ui::PaintQrBox(painter, nullptr, QRectF(0, 0, 100, 100));
    }
    for (int y = 0; y < 100; y += 7) {
        for (int x = 0; x < 100; x += 7)
            ASSERT_TRUE(IsWhite(image, x, y)) << x << "," << y;
    }
}

} // namespace
