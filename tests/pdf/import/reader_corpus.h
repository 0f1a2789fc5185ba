// The source documents of the reader's tests, made once per test run by
// tools/make-reader-corpus (files of other producers and hand-made files with one fault each) and
// make_import_corpus.py beside this header (pages whose import has something to get right).
#pragma once

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace reader_testing {

inline const testing_support::TempDir& Corpus() {
    static const testing_support::TempDir folder;
    static const bool made = [] {
        const auto result = testing_support::RunCommand(
            "/usr/bin/python3 " + testing_support::SourceDir() + "/tools/make-reader-corpus " +
            folder.Path().string() + " 2>&1 && /usr/bin/python3 " + testing_support::SourceDir() +
            "/tests/pdf/import/make_import_corpus.py " + folder.Path().string() + " 2>&1");
        if (result.status != 0) ADD_FAILURE() << "corpus not made: " << result.out;
        return result.status == 0;
    }();
    (void)made;
    return folder;
}

inline std::string CorpusFile(const std::string& name) {
    return Corpus().File(name);
}

} // namespace reader_testing
