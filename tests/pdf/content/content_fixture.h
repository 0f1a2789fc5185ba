// A page being drawn, with the content lines written since the last look.
#pragma once

#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/support/fixed_host.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace content_test {

using testing_support::FixedHost;

// A document object whose page is open in memory only (no file), resource prefix "P".
class PageContent : public ::testing::Test {
protected:
    PageContent() : pdf(std::make_shared<FixedHost>()) {
        pagora::detail::StateOf(pdf).writer.in_page = true;
        pagora::detail::StateOf(pdf).writer.resource_prefix = "P";
    }

    pagora::Pagora::Members& Inner() { return pagora::detail::StateOf(pdf); }

    // The content lines written since the last call; every line is preceded by a CR.
    std::vector<std::string> Written() {
        const std::string& text = pagora::detail::StateOf(pdf).writer.page_content;
        std::vector<std::string> lines;
        if (seen_ < text.size()) {
            EXPECT_EQ(text[seen_], '\r') << "a content line must begin with CR";
            size_t start = seen_ + 1;
            for (;;) {
                const size_t end = text.find('\r', start);
                lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
                if (end == std::string::npos) break;
                start = end + 1;
            }
        }
        seen_ = text.size();
        return lines;
    }

    pagora::Pagora pdf;

private:
    size_t seen_ = 0;
};

using Lines = std::vector<std::string>;

} // namespace content_test
