// Test labels, declared beside the tests they label, and what a test may reach outside its own
// process by the label ctest runs it under (KERBOLT_TEST_LABEL in the environment).
//
// KERBOLT_TEST_LABEL(oracle, "Suite.Test") labels the tests a gtest pattern names ("Suite.Test",
// "Suite.*", "Instance/Suite.*"): oracle for tests that run an outside program (qpdf, poppler,
// mupdf, Python with PIL or pikepdf, ZXing, zbar, iconv...) to make a fixture or check a result;
// net for tests that start the loopback servers (they may run outside programs too). Every other
// test of a program is a unit test. Oracle and net tests run on the Linux side only: the Windows
// run under Wine has neither the host tools nor the servers. KERBOLT_LINUX_ONLY("Suite.Test")
// keeps a unit test to the Linux side for another reason (a Linux device or installed font).
//
// tests/test_labels.cmake reads the declarations from the test sources when CMake configures, so
// the label is the first word and the pattern one string literal; CMake refuses a declaration
// it cannot read. A test labelled "unit" that runs an outside program or starts a server fails
// with a message naming the declaration it lacks. Run directly, without the variable, a test may
// do anything.
#pragma once

#include <string>

#define KERBOLT_TEST_LABEL(label, pattern)                                                         \
    static_assert(::testing_support::labels::label && sizeof(pattern) > 1,                         \
                  "a test label (oracle or net) and a gtest pattern")
#define KERBOLT_LINUX_ONLY(pattern)                                                                \
    static_assert(sizeof(pattern) > 1, "a gtest pattern of tests that run on Linux only")

namespace testing_support {

// The labels a declaration may give: unit is every test declared with none.
namespace labels {
inline constexpr bool oracle = true;
inline constexpr bool net = true;
} // namespace labels

// Before running an outside program: fails the test unless its label allows one.
bool OutsideProgramAllowed(const std::string& command);
// Before starting a loopback server: throws unless the test's label allows one.
void RequireLoopbackServers(const std::string& server);

} // namespace testing_support
