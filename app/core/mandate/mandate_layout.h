// The mandate document page by page: the parties, the six sections and the return address,
// written through the IPdfWriter interface, with the height estimate of the section boxes.
#pragma once

#include "app/core/mandate/mandate_texts.h"
#include "app/core/mandate/mandate_writer.h"
#include "app/core/store/records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kerbolt::mandate {

// Page geometry in points, y growing downwards from the top of the page.
inline constexpr int kLeftMargin = 50;
inline constexpr int kLogoTop = 50;
inline constexpr int kLogoWidth = 100;
inline constexpr int kPageHeight = 842;
inline constexpr int kBottomLimit = kPageHeight - 100; // a new page begins below it
inline constexpr int kBoxWidth = 500;
inline constexpr int kEstimateWidth = kBoxWidth - 2 * kLeftMargin;
inline constexpr int kReturnAddressX = kLeftMargin + 60;

// The user's contact details as the document prints them.
struct MandateContact {
    std::string name;              // "Nom" as stored
    std::string street_line;       // "rue", a blank, "no", trimmed
    std::string town;              // "ville", trimmed
    std::string postcode_and_town; // "npa", a blank, the town, trimmed
};

MandateContact ContactFrom(const store::InfosRecord& infos);

// Everything one document shows, in UTF-8.
struct MandateDocument {
    std::int16_t language = 0;
    MandateContact contact;
    std::vector<std::string> place_addresses; // "adresse" of PLACE 0, 1, ...
    MandateOperator op;
    std::string output_path;
    std::string logo_path;        // a 24-bit bitmap; empty when there is no logo to draw
    std::int32_t logo_height = 0; // the logo's height on the page when 100 points wide
};

// How a build ended; `error` describes a failure for the user.
struct MandateResult {
    bool ok = false;
    std::string error;
};

// The logo's height on the page for a picture of the given size drawn 100 points wide,
// rounded half to even; 0 for an empty picture.
std::int32_t LogoHeight(std::int32_t picture_width, std::int32_t picture_height);

// "- " before every address, the lines joined by CR LF (none after the last).
std::string FormatPlaceList(const std::vector<std::string>& addresses);

// The estimated height in points of a text wrapped to `width` at `size` points, at least
// `minimum`. Every character counts as 0.6 of the size; lines break between words, and every
// CR LF adds a line.
std::int16_t EstimateTextHeight(std::string_view text, std::int32_t width, std::int16_t size,
                                std::int16_t minimum);

// The body of section `index` (0 to 5) as shown, UTF-8.
std::string SectionBody(const MandateDocument& doc, int index);

// Writes the whole document: from BeginDoc to EndDoc. Stops at a failed BeginDoc; a failure
// the writer records on the way is reported after EndDoc. Errors the writer raises go through.
MandateResult WriteMandate(IPdfWriter& pdf, const MandateDocument& doc);

} // namespace kerbolt::mandate
