// Image files made by a fixture script of this folder, for whole-document tests.
#pragma once

#include "pdf/writer/Pagora.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace content_test {

// The path of a fixture script in tests/pdf/content.
inline std::string FixtureScript(const std::string& name) {
    return testing_support::SourceDir() + "/tests/pdf/content/" + name;
}

// Runs the script's "make" into the folder and returns the paths of the files it made.
inline std::vector<std::string> MakeFixtureFiles(const std::string& script,
                                                 const testing_support::TempDir& folder) {
    const auto made = testing_support::RunCommand("/usr/bin/python3 " + script + " make " +
                                                  folder.Path().string());
    EXPECT_EQ(made.status, 0) << made.out;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files.push_back(entry.path().string());
    return files;
}

// Whether a path's file name begins with the prefix.
inline bool NameStartsWith(const std::string& path, const std::string& prefix) {
    return std::filesystem::path(path).filename().string().rfind(prefix, 0) == 0;
}

// Writes a document with each file drawn on a page of its own at the top-left corner, one
// point per pixel, and renders its pages with mutool at 72 dpi without anti-aliasing. Returns
// the paths of the rendered pages in the order of the files (empty when mutool fails).
inline std::vector<std::string> DrawEachOnAPage(pagora::Pagora& pdf, const std::string& pdf_path,
                                                const testing_support::TempDir& dir,
                                                const std::vector<std::string>& files) {
    pdf.BeginDoc(pdf_path);
    for (const std::string& file : files) {
        pdf.BeginPage();
        pdf.DrawImage(file, 0, 0);
        EXPECT_EQ(pdf.ErrNumber(), 0) << file;
        pdf.EndPage();
    }
    pdf.EndDoc();
    const auto drawn = testing_support::RunCommand(
        "mutool draw -q -A 0 -r 72 -o '" + dir.File("page%d.png") + "' '" + pdf_path + "' 2>&1");
    EXPECT_EQ(drawn.status, 0) << drawn.out;
    std::vector<std::string> pages;
    if (drawn.status != 0) return pages;
    for (std::size_t i = 0; i < files.size(); ++i)
        pages.push_back(dir.File("page" + std::to_string(i + 1) + ".png"));
    return pages;
}

} // namespace content_test
