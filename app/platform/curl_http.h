// The HTTP port on libcurl, the library that already carries the FTP transfers. One worker thread
// runs the queued transfers one after the other; each reply is posted back to the user-interface
// thread. Certificates are verified; limits on connecting, on a stalled transfer and on the whole
// transfer keep a dead server from holding the queue for ever.
#pragma once

#include "app/platform/http.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace kerbolt {

class CurlHttp final : public IHttp {
public:
    explicit CurlHttp(PostToUi post_to_ui, long connect_timeout_s = 20, long stall_timeout_s = 30);
    // Stops the transfer under way and drops the queued ones; their handlers never run.
    ~CurlHttp() override;
    CurlHttp(const CurlHttp&) = delete;
    CurlHttp& operator=(const CurlHttp&) = delete;

    void Start(HttpRequest request, HttpHandler on_done) override;
    bool Busy() const override;

private:
    struct Job {
        HttpRequest request;
        HttpHandler on_done;
    };
    void Run();
    HttpReply Perform(const HttpRequest& request);

    PostToUi post_to_ui_;
    long connect_timeout_s_;
    long stall_timeout_s_;
    // Read by the posted calls on the user-interface thread: false once this object is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    std::size_t unfinished_ = 0; // queued or running, until its reply has been handled
    std::atomic<bool> stopping_{false};
    std::thread worker_;
};

} // namespace kerbolt
