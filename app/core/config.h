// Values fixed when the client is built: the operator's hosts and the product's version.
#pragma once

#include <string>

namespace kerbolt {

struct ServerConfig {
    std::string ftp_host = KERBOLT_FTP_HOST;
    int ftp_port = KERBOLT_FTP_PORT;
    std::string web_url = KERBOLT_WEB_URL;        // version file
    std::string notify_url = KERBOLT_NOTIFY_URL;  // notification script
    std::string product_url = KERBOLT_PRODUCT_URL;  // installer and terms pages
    std::string product_domain = KERBOLT_PRODUCT_DOMAIN;
    std::string installer_path = KERBOLT_INSTALLER_PATH;
};

// The configuration this build was made with.
const ServerConfig& DefaultServerConfig();

// The program's version as major and minor numbers (1.18 is major 1, minor 18).
constexpr int kVersionMajor = KERBOLT_VERSION_MAJOR;
constexpr int kVersionMinor = KERBOLT_VERSION_MINOR;

}  // namespace kerbolt
