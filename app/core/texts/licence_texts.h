// The terms window's texts: version, terms of use and the link to the full terms page.
#pragma once

#include "app/platform/config.h"

#include <string>

namespace kerbolt::texts::frmLicence {

struct LicenceTexts {
    std::string lblVersion; // "Kerbolt (1.18)"
    std::string lblTitre;
    std::string lblLicence; // lines joined by CR LF
    std::string lblCGU;
    std::string lblUrl;  // the scheme and the host of the product's server
    std::string url_tag; // the terms page of the language
    std::string cmdClose;
};

// The texts of a language 1 to 4; for any other language every text but the version is empty.
LicenceTexts LoadTexts(int language, const std::string& version_text,
                       const ServerConfig& config = DefaultServerConfig());

// The host part of an address ("https://www.kerbolt.ch/x" gives "www.kerbolt.ch").
std::string HostOf(const std::string& url);

// The scheme of an address in lower case ("HTTP://x" gives "http"); "https" when it has none.
std::string SchemeOf(const std::string& url);

} // namespace kerbolt::texts::frmLicence
