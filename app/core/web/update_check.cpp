#include "app/core/web/update_check.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace kerbolt::web {

std::string ProgramVersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

std::optional<std::string> ExtractServerVersion(const std::string& reply) {
    const auto at = reply.find("Version");
    if (at == std::string::npos) return std::nullopt;
    return reply.substr(at + 7, 4);
}

namespace {

// A decimal number with "." as its sign, the whole text (blanks around it allowed).
std::optional<double> ReadDecimal(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    if (first == last) return std::nullopt;
    const char* begin = text.data() + first;
    const char* end = text.data() + last;
    if (*begin == '+') ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value, std::chars_format::fixed);
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ParseVersionNumber(const std::string& text) {
    // Never the locale's number format: "1.18" must read as 1.18 on every system.
    if (auto value = ReadDecimal(text)) return value;
    std::string swapped = text;
    for (char& ch : swapped) {
        if (ch == ',') ch = '.';
    }
    if (swapped == text) return std::nullopt;
    return ReadDecimal(swapped);
}

bool IsUpdateAvailable(const std::string& program_version, const std::string& server_version) {
    const auto program = ParseVersionNumber(program_version);
    if (!program || server_version.empty()) return false;
    const auto server = ParseVersionNumber(server_version);
    return server && *program < *server;
}

std::string VersionFileUrl(const ServerConfig& config) {
    return config.web_url + "/ctrl/kb.txt";
}

std::string DefaultInstallerPath() {
#ifdef _WIN32
    return "/downloads/Kerbolt.exe";
#else
    return "/downloads/Kerbolt.run";
#endif
}

std::string InstallerUrl(const ServerConfig& config) {
    return config.product_url +
           (config.installer_path.empty() ? DefaultInstallerPath() : config.installer_path);
}

std::string FileNameOfUrl(const std::string& url) {
    const auto slash = url.rfind('/');
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

} // namespace kerbolt::web
