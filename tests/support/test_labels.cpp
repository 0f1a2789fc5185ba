#include "tests/support/test_labels.h"

#include <cstdlib>
#include <stdexcept>

#include <gtest/gtest.h>

namespace testing_support {

namespace {

std::string Label() {
    const char* label = std::getenv("KERBOLT_TEST_LABEL");
    return label == nullptr ? std::string() : std::string(label);
}

} // namespace

bool OutsideProgramAllowed(const std::string& command) {
    const std::string label = Label();
    if (label != "unit") return true;
    ADD_FAILURE() << "a test labelled unit ran an outside program (" << command.substr(0, 80)
                  << "); declare KERBOLT_TEST_LABEL(oracle, ...) beside it";
    return false;
}

void RequireLoopbackServers(const std::string& server) {
    const std::string label = Label();
    if (label != "unit" && label != "oracle") return;
    throw std::runtime_error("a test labelled " + label + " started " + server +
                             "; declare KERBOLT_TEST_LABEL(net, ...) beside it");
}

} // namespace testing_support
