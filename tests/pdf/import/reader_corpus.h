// The source documents of the reader's tests, made once per test run by tools/make-reader-corpus
// (files of other producers and hand-made files with one fault each) and make_import_corpus.py
// beside this header (pages whose import has something to get right); and what the independent
// readers (pdfinfo, pdftotext, pdftoppm, qpdf) make of a file.
#pragma once

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <map>
#include <regex>
#include <sstream>
#include <string>

namespace reader_testing {

// Runs the Python scripts given (paths from the source folder) on a folder, in order.
inline void MakeCorpus(const testing_support::TempDir& folder,
                       std::initializer_list<const char*> scripts) {
    std::string command;
    for (const char* script : scripts) {
        command += (command.empty() ? "" : " && ") + std::string("/usr/bin/python3 ") +
                   testing_support::SourceDir() + "/" + script + " " + folder.Path().string() +
                   " 2>&1";
    }
    const auto result = testing_support::RunCommand(command);
    if (result.status != 0) ADD_FAILURE() << "corpus not made: " << result.out;
}

inline const testing_support::TempDir& Corpus() {
    static const testing_support::TempDir folder;
    static const bool made = [] {
        MakeCorpus(folder, {"tools/make-reader-corpus", "tests/pdf/import/make_import_corpus.py"});
        return true;
    }();
    (void)made;
    return folder;
}

inline std::string CorpusFile(const std::string& name) {
    return Corpus().File(name);
}

// Files as other producers write them, beside the fixtures of faults: made by
// make_wild_corpus.py, only in the tests that open them.
inline std::string WildFile(const std::string& name) {
    static const testing_support::TempDir folder;
    static const bool made = [] {
        MakeCorpus(folder, {"tests/pdf/import/make_wild_corpus.py"});
        return true;
    }();
    (void)made;
    return folder.File(name);
}

// The fields pdfinfo prints, by name ("Title", "Pages", "PDF version", ...); texts in UTF-8.
inline std::map<std::string, std::string> PdfInfo(const std::string& file) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(
        testing_support::RunCommand("pdfinfo -enc UTF-8 '" + file + "' 2>/dev/null").out);
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const auto value = line.find_first_not_of(' ', colon + 1);
        fields[line.substr(0, colon)] = value == std::string::npos ? "" : line.substr(value);
    }
    return fields;
}

// A grey image as pdftoppm writes it (binary PGM).
struct Gray {
    int width = 0, height = 0;
    std::string pixels;
};

inline Gray Render(const std::string& file, int page, const std::string& out_base,
                   const std::string& password = "") {
    const std::string pw = password.empty() ? "" : " -upw " + password;
    testing_support::RunCommand("pdftoppm -r 72 -gray -singlefile" + pw + " -f " +
                                std::to_string(page) + " -l " + std::to_string(page) + " " +
                                testing_support::ShellQuoted(file) + " " +
                                testing_support::ShellQuoted(out_base) + " 2>/dev/null");
    const std::string bytes = testing_support::ReadFileBytes(out_base + ".pgm");
    Gray image;
    std::smatch m;
    static const std::regex header(R"(^P5\s+(\d+)\s+(\d+)\s+255\s)");
    if (!std::regex_search(bytes, m, header)) return image;
    image.width = std::stoi(m[1]);
    image.height = std::stoi(m[2]);
    image.pixels = bytes.substr(static_cast<std::size_t>(m[0].length()));
    return image;
}

// The share of pixels that differ by more than a sixteenth of the grey range.
inline double DifferingShare(const Gray& a, const Gray& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size() ||
        a.pixels.empty()) {
        return 1;
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        const int d =
            static_cast<unsigned char>(a.pixels[i]) - static_cast<unsigned char>(b.pixels[i]);
        if (std::abs(d) > 16) ++differing;
    }
    return static_cast<double>(differing) / static_cast<double>(a.pixels.size());
}

inline std::string PageText(const std::string& file, int page, const std::string& password = "") {
    const std::string pw = password.empty() ? "" : " -upw " + password;
    return testing_support::RunCommand("pdftotext -layout" + pw + " -f " + std::to_string(page) +
                                       " -l " + std::to_string(page) + " " +
                                       testing_support::ShellQuoted(file) + " - 2>/dev/null")
        .out;
}

// qpdf --check: 0 clean, 2 errors, 3 warnings; what it said comes along.
inline testing_support::CommandResult Check(const std::string& file,
                                            const std::string& password = "") {
    const std::string pw = password.empty() ? "" : " --password=" + password;
    return testing_support::RunCommand("qpdf --check" + pw + " " +
                                       testing_support::ShellQuoted(file) + " 2>&1");
}

} // namespace reader_testing
