// Where the ticket preview sits in the main window: twips inside the preview area.
#pragma once

#include <array>

#include "app/core/ticket/ticket_preview.h"

namespace kerbolt::ticket {

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// Preview labels by index (see TicketLabel).
inline constexpr std::array<TwipsRect, kTicketLabelCount> kPreviewLabelRects{{
    {0, 1200, 4095, 495},    // title
    {0, 1680, 4095, 2295},   // text
    {0, 7320, 1695, 255},    // payee heading
    {0, 7560, 2295, 255},    // account
    {0, 7800, 2295, 255},    // company
    {0, 8040, 2295, 255},    // street
    {0, 8280, 2295, 255},    // postcode and town
    {2400, 7320, 1575, 255}, // amount heading
    {2400, 7560, 375, 255},  // currency
    {2805, 7560, 1410, 255}, // amount, from the currency to the preview's edge: it holds the
                             // largest amount a QR-bill carries, "999999 999.99"
    {2400, 7920, 1695, 255}, // message heading
    {2400, 8160, 1575, 255}, // reference
    {0, 4200, 3975, 375},    // footer
    {2400, 8400, 1575, 255}, // plates
}};

// The box that shows the QR code with its cross.
inline constexpr TwipsRect kPreviewQrRect{720, 4605, 2608, 2608};

} // namespace kerbolt::ticket
