// Starting and stopping the stand-in servers written in Python: each takes --port 0, --root,
// --log, --lifetime and --port-file, and reports its port through that file once it listens.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testing_support {

struct ScriptServerProcess {
    pid_t pid = -1;
    int port = 0;
};

// Starts `script` (a path under the source tree) with /usr/bin/python3 and waits until it
// listens. Throws std::runtime_error when it does not come up.
ScriptServerProcess StartScriptServer(const std::string& script, const std::string& root,
                                      const std::string& log_path, int lifetime_seconds,
                                      const std::vector<std::string>& extra_arguments = {});
// Ends a server started above (nothing when `pid` is not positive).
void StopScriptServer(pid_t pid);

} // namespace testing_support
