// Checking a written file as a user sees it: the complaints of its readers, and pixel probes in
// the picture a renderer made of it.
#pragma once

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace content_test {

struct Picture {
    int width = 0, height = 0;
    std::string pixels;
    // The pixel as 0xRRGGBB.
    uint32_t At(int x, int y) const {
        const size_t i =
            (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
        return static_cast<uint32_t>(static_cast<unsigned char>(pixels[i])) << 16 |
               static_cast<uint32_t>(static_cast<unsigned char>(pixels[i + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(pixels[i + 2]));
    }
};

// An empty picture when the file is no complete binary PPM of 8-bit samples.
inline Picture ReadPpm(const std::string& path) {
    const std::string data = testing_support::ReadFileBytes(path);
    Picture picture;
    int maxval = 0;
    int consumed = 0;
    if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &picture.width, &picture.height, &maxval,
                    &consumed) != 3)
        return {};
    picture.pixels = data.substr(static_cast<size_t>(consumed) + 1);
    if (picture.pixels.size() < static_cast<size_t>(picture.width * picture.height * 3)) return {};
    return picture;
}

// Text read back from a file with every run of white space made one blank, without a blank at
// its end.
inline std::string Collapsed(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// Runs a command and returns what it wrote on standard error. The renderer's notice that it was
// built without colour management says nothing about the file and is left out.
inline std::string ErrorsOf(const std::string& command, int* status = nullptr) {
    const auto result = testing_support::RunCommand(command + " 2>&1 >/dev/null");
    if (status != nullptr) *status = result.status;
    std::string errors = result.out;
    const std::string notice = "warning: ICC support is not available\n";
    for (size_t at = errors.find(notice); at != std::string::npos; at = errors.find(notice))
        errors.erase(at, notice.size());
    return errors;
}

// Page `page` of a file as mupdf and poppler draw it at 72 dpi (one pixel a point), mupdf's
// first; each renderer must draw it without a complaint. The pictures go to `dir`.
inline std::vector<Picture> RenderWithBoth(const std::string& path, int page,
                                           const testing_support::TempDir& dir) {
    int status = -1;
    const std::string mupdf = dir.File("mupdf.ppm");
    EXPECT_EQ(ErrorsOf("mutool draw -q -r 72 -c rgb -F pnm -o '" + mupdf + "' '" + path + "' " +
                           std::to_string(page),
                       &status),
              "");
    EXPECT_EQ(status, 0);
    const std::string poppler = dir.File("poppler");
    EXPECT_EQ(ErrorsOf("pdftoppm -r 72 -singlefile -f " + std::to_string(page) + " -l " +
                           std::to_string(page) + " '" + path + "' '" + poppler + "'",
                       &status),
              "");
    EXPECT_EQ(status, 0);
    return {ReadPpm(mupdf), ReadPpm(poppler + ".ppm")};
}

} // namespace content_test
