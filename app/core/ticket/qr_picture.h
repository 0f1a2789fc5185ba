// The QR picture: a vector drawing in twips of a symbol's dark areas on a white square.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/core/ticket/qr_outline.h"
#include "app/core/ticket/qr_symbol.h"

namespace kerbolt::ticket {

// The drawing as it stands on paper: twips, origin at the square's bottom-left corner and y
// growing upwards. Fill the polygons together with the alternate (even-odd) rule so that light
// holes inside dark areas stay white.
struct QrPicture {
    std::int32_t square = 0;      // side of the white square
    OutlinePolygons polygons;     // the dark areas' outlines
    std::uint32_t fore_color = 0; // 0x00BBGGRR
    int version = 0;              // of the symbol drawn
    int ecl = 0;                  // 0 to 3: L, M, Q, H
};

// Draws a symbol with modules of `module_size` twips, framed by a white margin of about half
// a module.
QrPicture RenderQrPicture(const QrModules& symbol, std::int32_t module_size,
                          std::uint32_t fore_color);

// Encodes the text and draws it; nothing when it does not fit within the highest version.
// Throws std::invalid_argument for a module size below 1 or options out of range.
std::optional<QrPicture> CreateQrPicture(std::string_view text, std::uint32_t fore_color,
                                         std::int32_t module_size, const QrEncodeOptions& options);

// The ticket's QR-bill code: black modules of 120 twips, level M, versions 1 to 25.
std::optional<QrPicture> CreateTicketQrPicture(std::string_view payload);

} // namespace kerbolt::ticket
