#include "app/platform/curl_http.h"

#include <curl/curl.h>

namespace kerbolt {
namespace {

struct Transfer {
    std::string body;
    std::size_t max_body_bytes = 0;
    bool too_large = false;
    const std::atomic<bool>* stopping = nullptr;
};

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->max_body_bytes) {
        transfer->too_large = true;
        return 0; // ends the transfer with a write error
    }
    transfer->body.append(data, bytes);
    return bytes;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->stopping->load() ? 1 : 0;
}

bool GlobalInit() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

} // namespace

CurlHttp::CurlHttp(PostToUi post_to_ui, long connect_timeout_s, long stall_timeout_s)
    : post_to_ui_(std::move(post_to_ui)), connect_timeout_s_(connect_timeout_s),
      stall_timeout_s_(stall_timeout_s) {
    GlobalInit();
    worker_ = std::thread([this] { Run(); });
}

CurlHttp::~CurlHttp() {
    *alive_ = false;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    worker_.join();
}

void CurlHttp::Start(HttpRequest request, HttpHandler on_done) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({std::move(request), std::move(on_done)});
        ++unfinished_;
    }
    wake_.notify_all();
}

bool CurlHttp::Busy() const {
    std::lock_guard lock(mutex_);
    return unfinished_ > 0;
}

void CurlHttp::Run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        HttpReply reply = Perform(job.request);
        if (stopping_) return;
        // The handler runs on the user-interface thread, after whatever handler runs there now.
        post_to_ui_(
            [this, alive = alive_, on_done = std::move(job.on_done), reply = std::move(reply)] {
                if (!*alive) return;
                {
                    std::lock_guard lock(mutex_);
                    --unfinished_;
                }
                if (on_done) on_done(reply);
            });
    }
}

HttpReply CurlHttp::Perform(const HttpRequest& request) {
    HttpReply reply;
    CURL* curl = GlobalInit() ? curl_easy_init() : nullptr;
    if (curl == nullptr) {
        reply.error = "The transfer layer could not be set up";
        return reply;
    }
    Transfer transfer;
    transfer.max_body_bytes = request.max_body_bytes;
    transfer.stopping = &stopping_;
    char error_text[CURL_ERROR_SIZE] = {};
    curl_slist* headers = nullptr;
    for (const std::string& header : request.headers) {
        headers = curl_slist_append(headers, header.c_str());
    }

    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error_text);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // The loopback never goes through a proxy of the environment.
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connect_timeout_s_);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, stall_timeout_s_);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, request.timeout_s);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (request.method == "POST") {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.c_str());
    }
    if (headers != nullptr) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);

    const CURLcode code = curl_easy_perform(curl);
    if (code == CURLE_OK) {
        reply.completed = true;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
        reply.body = std::move(transfer.body);
    } else if (transfer.too_large) {
        reply.error = "The reply of " + request.url + " is too large";
    } else {
        reply.error = error_text[0] != '\0' ? error_text : curl_easy_strerror(code);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return reply;
}

} // namespace kerbolt
