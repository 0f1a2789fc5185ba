#include "app/platform/curl_http.h"

#include "tests/support/ftp_server.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"
#include "tests/support/ui_queue.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace kerbolt {
namespace {

using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::UiQueue;

// A server that accepts connections (through the kernel's backlog) and never answers.
class SilentServer {
public:
    SilentServer() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(fd_, 4) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            ADD_FAILURE() << "cannot listen";
        }
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { close(fd_); }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/ctrl/kb.txt"; }

private:
    int fd_ = -1;
    int port_ = 0;
};

KERBOLT_TEST_LABEL(net, "CurlHttp.RepliesComeInStartOrderWithStatusAndBody");
TEST(CurlHttp, RepliesComeInStartOrderWithStatusAndBody) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "web/ctrl");
    testing_support::WriteFileBytes(dir.Path() / "web/ctrl/kb.txt", std::string("V\0x\r\n", 5));
    testing_support::HttpServer server(dir.File("web"), dir.File("http.log"), 60);
    UiQueue queue;
    CurlHttp http(queue.Poster());
    std::vector<std::string> order;
    std::vector<HttpReply> replies;
    const auto keep = [&](const char* name) {
        return [&, name](const HttpReply& reply) {
            order.push_back(name);
            replies.push_back(reply);
        };
    };
    http.Start({"GET", server.BaseUrl() + "/ctrl/kb.txt"}, keep("version"));
    HttpRequest post{"POST", server.BaseUrl() + "/ctrl/kb.php?", "&M=&F=K"};
    post.headers = {"Content-Type: application/x-www-form-urlencoded"};
    http.Start(post, keep("notify"));
    http.Start({"GET", server.BaseUrl() + "/missing"}, keep("missing"));
    EXPECT_TRUE(http.Busy());
    // Nothing is handed over until the user-interface thread runs its queue.
    EXPECT_TRUE(order.empty());
    ASSERT_TRUE(queue.RunUntil([&] { return !http.Busy(); }));
    EXPECT_EQ(order, (std::vector<std::string>{"version", "notify", "missing"}));
    EXPECT_EQ(replies[0].status, 200);
    EXPECT_EQ(replies[0].body, std::string("V\0x\r\n", 5));
    EXPECT_EQ(replies[1].status, 200);
    EXPECT_TRUE(replies[2].completed);
    EXPECT_EQ(replies[2].status, 404);
    const auto logged = server.Requests();
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_EQ(logged[1].body, "&M=&F=K");
}

KERBOLT_TEST_LABEL(net, "CurlHttp.AnUntrustedCertificateIsRefused");
TEST(CurlHttp, AnUntrustedCertificateIsRefused) {
    TempDir dir;
    std::filesystem::create_directories(dir.Path() / "web/ctrl");
    testing_support::WriteFileBytes(dir.Path() / "web/ctrl/kb.txt", "Version9.99");
    const auto made =
        RunCommand("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                   "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
                   dir.File("key.pem") + "' -out '" + dir.File("cert.pem") + "' 2>/dev/null");
    ASSERT_EQ(made.status, 0);
    testing_support::HttpServer server(dir.File("web"), dir.File("http.log"), 60,
                                       dir.File("cert.pem"), dir.File("key.pem"));
    UiQueue queue;
    CurlHttp http(queue.Poster());
    std::optional<HttpReply> reply;
    http.Start({"GET", server.BaseUrl() + "/ctrl/kb.txt"}, [&](const HttpReply& r) { reply = r; });
    ASSERT_TRUE(queue.RunUntil([&] { return reply.has_value(); }));
    EXPECT_FALSE(reply->completed);
    EXPECT_TRUE(reply->body.empty());
    EXPECT_NE(reply->error.find("certificate"), std::string::npos) << reply->error;
}

TEST(CurlHttp, ADeadServerEndsInAnErrorAndLaterTransfersGoOn) {
    SilentServer silent;
    UiQueue queue;
    CurlHttp http(queue.Poster(), 2, 2);
    std::vector<HttpReply> replies;
    HttpRequest request{"GET", silent.Url()};
    request.timeout_s = 1;
    http.Start(request, [&](const HttpReply& r) { replies.push_back(r); });
    const std::string closed =
        "http://127.0.0.1:" + std::to_string(testing_support::ClosedLoopbackPort()) + "/";
    http.Start({"GET", closed}, [&](const HttpReply& r) { replies.push_back(r); });
    ASSERT_TRUE(queue.RunUntil([&] { return replies.size() == 2; }));
    EXPECT_FALSE(replies[0].completed);
    EXPECT_FALSE(replies[0].error.empty());
    EXPECT_FALSE(replies[1].completed);
}

TEST(CurlHttp, GoingAwayStopsTheTransferAndDropsItsReply) {
    SilentServer silent;
    UiQueue queue;
    bool handled = false;
    {
        CurlHttp http(queue.Poster());
        HttpRequest request{"GET", silent.Url()};
        request.timeout_s = 0;
        http.Start(request, [&](const HttpReply&) { handled = true; });
        http.Start({"GET", silent.Url()}, [&](const HttpReply&) { handled = true; });
    }
    while (queue.RunOne()) {
    }
    EXPECT_FALSE(handled);
}

} // namespace
} // namespace kerbolt
