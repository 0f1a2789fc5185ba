// Reading pages that a renderer wrote as binary greymaps (PGM, P5).
#pragma once

#include <string>

namespace testing_support {

// The pixels darker than mid-grey inside the box [x0, x1) x [y0, y1) of a binary greymap; the
// parts of the box outside the image count nothing.
int DarkPixels(const std::string& pgm, int x0, int y0, int x1, int y1);

} // namespace testing_support
