// The HTTP port: one transfer at a time, in the order started, each reply handed to its handler
// on the user-interface thread by a queued call (never inside a nested event loop, so no handler
// can run in the middle of another).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kerbolt {

struct HttpRequest {
    std::string method = "GET"; // "GET" or "POST"
    std::string url;
    std::string body;                 // sent as it is (POST)
    std::vector<std::string> headers; // "Name: value"
    long timeout_s = 60;              // the whole transfer; 0 for no limit
    std::size_t max_body_bytes = std::size_t{1} << 20;
};

struct HttpReply {
    bool completed = false; // the server answered (whatever its status)
    long status = 0;        // the HTTP status of the answer
    std::string body;
    std::string error; // what went wrong when the transfer did not complete
};

using HttpHandler = std::function<void(const HttpReply&)>;

// Hands a task to the user-interface thread, to run after the current handler ends.
using PostToUi = std::function<void(std::function<void()>)>;

class IHttp {
public:
    virtual ~IHttp() = default;
    // Queues a transfer behind the ones already started and returns at once; `on_done` gets
    // its reply on the user-interface thread.
    virtual void Start(HttpRequest request, HttpHandler on_done) = 0;
    // True while a transfer is queued or under way.
    virtual bool Busy() const = 0;
};

} // namespace kerbolt
