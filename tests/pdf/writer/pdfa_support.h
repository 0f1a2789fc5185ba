// What the PDF/A tests share: the command line of the independent PDF/A validator (PDFBox
// Preflight, PDF/A-1B) and content that every archival document may hold.
#pragma once

#include "pdf/writer/Pagora.h"
#include "tests/support/png_file.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <string>
#include <vector>

namespace writer_test {

// The validator with its font cache in a test's folder. Append a file, or "xml group" and a
// file that lists files one a line, to judge many files in one run of the Java machine.
inline std::string PreflightCommand(const std::string& cache_folder) {
    const std::string jars = "/usr/share/java/preflight.jar:/usr/share/java/pdfbox2.jar:"
                             "/usr/share/java/fontbox2.jar:/usr/share/java/xmpbox.jar:"
                             "/usr/share/java/commons-logging.jar:"
                             "/usr/share/java/javax.activation.jar:/usr/share/java/jaxb-api.jar";
    return "java -Dpdfbox.fontcache=" + testing_support::ShellQuoted(cache_folder) +
           " -Djava.util.logging.config.file=/dev/null -cp " + jars +
           " org.apache.pdfbox.preflight.Validator_A1b ";
}

// A 4 x 4 RGB picture of a colour ramp.
inline std::vector<std::uint8_t> TilePng() {
    std::vector<std::uint8_t> rows;
    for (int row = 0; row < 4; ++row) {
        rows.push_back(0);
        for (int column = 0; column < 4; ++column)
            rows.insert(rows.end(), {static_cast<std::uint8_t>(60 * row), 90,
                                     static_cast<std::uint8_t>(60 * column)});
    }
    return testing_support::PngFile(4, 4, 2, rows);
}

// Text in the four styles of the three text families, each family also with a line in a second
// charset, from y down by step; returns the y after the last line.
inline float DrawEveryFamily(pagora::Pagora& pdf, float y, float size, float step, int charset,
                             const std::string& utf8) {
    for (const char* family : {"Arial", "Times", "Courier"}) {
        for (int style = 0; style < 4; ++style) {
            pdf.SetFont(family, size, style);
            pdf.DrawText(10, y, pagora::Pagora::FromUtf8("Größe 12 € – ok"));
            y += step;
        }
        pdf.SetFont(family, size, 0, charset);
        pdf.DrawText(10, y, pagora::Pagora::FromUtf8(utf8, charset), 1);
        y += step;
    }
    return y;
}

} // namespace writer_test
