#include "app/core/web/update_check.h"

#include "app/core/web/notification.h"

#include <gtest/gtest.h>

namespace {

using namespace kerbolt;

TEST(UpdateCheck, VersionTextFollowsTheReply) {
    EXPECT_EQ(web::ExtractServerVersion("Version1.20"), "1.20");
    EXPECT_EQ(web::ExtractServerVersion("x\r\nVersion 1.2\r\n"), " 1.2");
    EXPECT_EQ(web::ExtractServerVersion("Version1.2"), "1.2");
    EXPECT_EQ(web::ExtractServerVersion("Version1.20Version9.99"), "1.20");
    EXPECT_EQ(web::ExtractServerVersion("version1.20"), std::nullopt);
    EXPECT_EQ(web::ExtractServerVersion(""), std::nullopt);
    // Found wherever it lies, also across the border of a 1024-character read.
    const std::string long_reply = std::string(1020, '.') + "Version1.30" + std::string(50, '.');
    EXPECT_EQ(web::ExtractServerVersion(long_reply), "1.30");
}

struct VersionCase {
    const char* program;
    const char* server;
    bool offered;
};

class UpdateAvailable : public ::testing::TestWithParam<VersionCase> {};

TEST_P(UpdateAvailable, ComparesTheDecimalReadings) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(web::IsUpdateAvailable(c.program, c.server), c.offered)
        << c.program << " vs " << c.server;
}

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateAvailable,
    ::testing::Values(VersionCase{"1.18", "1.20", true}, VersionCase{"1.18", "1.2", true},
                      VersionCase{"1.18", "1.1", false}, VersionCase{"1.18", "1.18", false},
                      VersionCase{"1.18", " 1.2", true}, VersionCase{"1.18", "1,20", true},
                      VersionCase{"1,18", "1.20", true}, VersionCase{"1.18", "", false},
                      VersionCase{"1.18", "abcd", false}, VersionCase{"1.18", "1.2x", false},
                      VersionCase{"1.18", "inf", false}, VersionCase{"", "1.20", false},
                      VersionCase{"1.18", "2", true}));

TEST(UpdateCheck, ProgramVersionAndAddresses) {
    EXPECT_EQ(web::ProgramVersionText(), "1.18");
    ServerConfig config;
    config.web_url = "https://op.example";
    config.product_url = "https://product.example";
    config.installer_path = "/downloads/Kerbolt.exe";
    EXPECT_EQ(web::VersionFileUrl(config), "https://op.example/ctrl/kb.txt");
    EXPECT_EQ(web::InstallerUrl(config), "https://product.example/downloads/Kerbolt.exe");
    EXPECT_EQ(web::FileNameOfUrl(web::InstallerUrl(config)), "Kerbolt.exe");
    config.installer_path.clear();
    EXPECT_EQ(web::InstallerUrl(config), "https://product.example" + web::DefaultInstallerPath());
}

struct BodyCase {
    const char* mail;
    const char* reference;
    const char* body;
};

class NotificationBody : public ::testing::TestWithParam<BodyCase> {};

TEST_P(NotificationBody, KeepsOrdinaryValuesAndEncodesTheRest) {
    const BodyCase& c = GetParam();
    const DateTime day{2025, 2, 3, 9, 30, 0};
    EXPECT_EQ(web::BuildNotificationBody(c.mail, c.reference, "1.18", day), c.body);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NotificationBody,
    ::testing::Values(
        BodyCase{"", "000NZFAP-0", "&M=&F=000NZFAP-0&V=1.18&D=03.02.2025"},
        BodyCase{"jean.muster@bluewin.ch", "000NZFAP",
                 "&M=jean.muster@bluewin.ch&F=000NZFAP&V=1.18&D=03.02.2025"},
        BodyCase{"a+b@x.ch", "K-1", "&M=a%2Bb@x.ch&F=K-1&V=1.18&D=03.02.2025"},
        BodyCase{"a&F=evil@x.ch", "K-1", "&M=a%26F%3Devil@x.ch&F=K-1&V=1.18&D=03.02.2025"},
        BodyCase{"100% x@y.ch", "K-1", "&M=100%25%20x@y.ch&F=K-1&V=1.18&D=03.02.2025"},
        BodyCase{"zoé@x.ch\n", "K-1", "&M=zo%C3%A9@x.ch%0A&F=K-1&V=1.18&D=03.02.2025"}));

TEST(UpdateCheck, NotificationAddress) {
    EXPECT_EQ(web::NotificationUrl("http://op.example"), "http://op.example/ctrl/kb.php?");
}

} // namespace
