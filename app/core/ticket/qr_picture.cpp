#include "app/core/ticket/qr_picture.h"

#include <stdexcept>

namespace kerbolt::ticket {

QrPicture RenderQrPicture(const QrModules& symbol, std::int32_t module_size,
                          std::uint32_t fore_color) {
    if (module_size < 1) throw std::invalid_argument("QR picture: module size below 1");
    OutlineGrid grid = BuildOutlineGrid(symbol);
    QrPicture picture;
    picture.polygons = TraceOutlinePolygons(grid, module_size);
    picture.fore_color = fore_color;
    const std::int32_t size = symbol.Size();
    picture.square = module_size * (size + 1);
    // Turned upright for the upward y axis; the margin comes out one twip narrower on the
    // low side than on the high side (59 and 61 for 120-twip modules).
    const std::int32_t half = module_size / 2;
    for (auto& polygon : picture.polygons) {
        for (OutlinePoint& point : polygon) {
            point = {point.x + half - 1, size * module_size + half - point.y - 1};
        }
    }
    return picture;
}

std::optional<QrPicture> CreateQrPicture(std::string_view text, std::uint32_t fore_color,
                                         std::int32_t module_size, const QrEncodeOptions& options) {
    if (module_size < 1) throw std::invalid_argument("QR picture: module size below 1");
    std::optional<QrSymbol> symbol = EncodeQrSymbol(text, options);
    if (!symbol) return std::nullopt;
    QrPicture picture = RenderQrPicture(symbol->modules, module_size, fore_color);
    picture.version = symbol->version;
    picture.ecl = symbol->ecl;
    return picture;
}

std::optional<QrPicture> CreateTicketQrPicture(std::string_view payload) {
    return CreateQrPicture(payload, 0, 120, QrEncodeOptions{});
}

} // namespace kerbolt::ticket
