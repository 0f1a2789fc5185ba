// Values fixed when the client is built: the operator's hosts and the product's version.
#pragma once

#include <array>
#include <string>

namespace kerbolt {

// The one FTP account that every installation uses. Handed to the transfer layer apart from
// any URL, so that it never shows in an address or a log.
inline constexpr const char* kFtpUser = "tqwz_lunarok";
inline constexpr const char* kFtpPassword = "Kq82^Tz4!mwrB%=";

struct ServerConfig {
    std::string ftp_host = KERBOLT_FTP_HOST;
    int ftp_port = KERBOLT_FTP_PORT;
    std::string ftp_user = kFtpUser;
    std::string ftp_password = kFtpPassword;
    // A dead or hung server must not hold the program: limits for connecting, for each reply and
    // for a whole transfer. The data file is small, so short limits suffice.
    // Set at build time (KERBOLT_FTP_CONNECT_TIMEOUT, KERBOLT_FTP_TRANSFER_TIMEOUT).
    long ftp_connect_timeout_s = KERBOLT_FTP_CONNECT_TIMEOUT;
    long ftp_response_timeout_s = KERBOLT_FTP_TRANSFER_TIMEOUT;
    long ftp_transfer_timeout_s = KERBOLT_FTP_TRANSFER_TIMEOUT;
    std::string web_url = KERBOLT_WEB_URL;         // version file
    std::string notify_url = KERBOLT_NOTIFY_URL;   // notification script
    std::string product_url = KERBOLT_PRODUCT_URL; // installer and terms pages
    std::string product_domain = KERBOLT_PRODUCT_DOMAIN;
    std::string installer_path = KERBOLT_INSTALLER_PATH;
    // The maker named in the ticket footers, and its company's legal form in French, German,
    // English and Italian.
    std::string maker_company = "Velquin";
    std::array<std::string, 4> maker_legal_forms = {"Sàrl", "GmbH", "LLC", "Sagl"};
};

// The configuration this build was made with.
const ServerConfig& DefaultServerConfig();

// The program's version as major and minor numbers (1.18 is major 1, minor 18).
constexpr int kVersionMajor = KERBOLT_VERSION_MAJOR;
constexpr int kVersionMinor = KERBOLT_VERSION_MINOR;

} // namespace kerbolt
