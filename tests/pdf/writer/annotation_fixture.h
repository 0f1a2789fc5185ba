// A document with annotations or form fields, plain or protected (the parameter), read back by
// pikepdf (the "annotations" query of tests/support/pdf_inspect.py).
#pragma once

#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace writer_test {

class AnnotationFixture : public WriterTest, public ::testing::WithParamInterface<bool> {
protected:
    // Opens the document (protected without a user password, so that the tools open it) with
    // a current font.
    void Begin() {
        if (GetParam()) pdf_.SetProtection(0x1004);
        pdf_.BeginDoc(Path());
        pdf_.SetFont("Helvetica", 12);
    }

    // Ends the document, checks it with the tools and returns the report's lines.
    std::vector<std::string> Finish() {
        pdf_.EndDoc();
        EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
        ExpectValidPdf();
        const auto report = testing_support::InspectPdf(Path(), "annotations");
        EXPECT_EQ(report.status, 0) << report.out;
        return testing_support::Lines(report.out);
    }
};

} // namespace writer_test
