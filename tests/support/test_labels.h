// What a test may reach outside its own process, by the label ctest runs it under
// (KERBOLT_TEST_LABEL). A test labelled "unit" runs no outside program and starts no server; one
// labelled "oracle" may run outside programs (qpdf, poppler, mupdf, Python...); one labelled "net"
// may also start the loopback servers. Run directly, without the variable, a test may do anything.
// The lists that give each test its label are tests/labels/*.txt; a test that reaches further
// than its label allows fails with a message naming the list to put it in.
#pragma once

#include <string>

namespace testing_support {

// Before running an outside program: fails the test unless its label allows one.
bool OutsideProgramAllowed(const std::string& command);
// Before starting a loopback server: throws unless the test's label allows one.
void RequireLoopbackServers(const std::string& server);

} // namespace testing_support
