#include "pdf/fonts/standard_font_files.h"

#include "pdf/writer/Pagora.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace pagora {

std::string PagoraHost::StandardFontFile(const std::string& family, int style) {
    return detail::FindStandardFontFile(family, style);
}

namespace detail {

namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The <dir> entries of one fontconfig file: plain paths, "~/" paths and paths under the XDG data
// folder (prefix="xdg").
void ReadFontconfigDirs(const fs::path& file, std::vector<fs::path>& dirs) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    const std::string home = Environment("HOME");
    std::string data_home = Environment("XDG_DATA_HOME");
    if (data_home.empty() && !home.empty()) data_home = home + "/.local/share";
    std::size_t at = 0;
    while ((at = text.find("<dir", at)) != std::string::npos) {
        const std::size_t open_end = text.find('>', at);
        if (open_end == std::string::npos) break;
        const std::string open_tag = text.substr(at, open_end - at);
        at = open_end + 1;
        // "<directory" or a self-closed tag is no folder entry.
        if (open_tag.size() > 4 && open_tag[4] != ' ' && open_tag[4] != '\t') continue;
        if (!open_tag.empty() && open_tag.back() == '/') continue;
        const std::size_t close = text.find("</dir>", at);
        if (close == std::string::npos) break;
        std::string path = text.substr(at, close - at);
        at = close;
        if (open_tag.find("prefix=\"xdg\"") != std::string::npos) {
            if (data_home.empty()) continue;
            path = data_home + "/" + path;
        } else if (path.rfind("~/", 0) == 0) {
            if (home.empty()) continue;
            path = home + path.substr(1);
        }
        if (!path.empty()) dirs.emplace_back(path);
    }
}

std::vector<fs::path> FontFolders() {
    std::vector<fs::path> dirs;
    std::vector<fs::path> configs;
    const std::string config_file = Environment("FONTCONFIG_FILE");
    configs.emplace_back(config_file.empty() ? "/etc/fonts/fonts.conf" : config_file);
    std::error_code error;
    for (fs::directory_iterator it("/etc/fonts/conf.d", error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().extension() == ".conf") configs.push_back(it->path());
    }
    for (const fs::path& config : configs)
        ReadFontconfigDirs(config, dirs);
    const std::string home = Environment("HOME");
    for (const char* dir : {"/usr/share/fonts", "/usr/local/share/fonts", "/Library/Fonts"}) {
        dirs.emplace_back(dir);
    }
    if (!home.empty()) {
        dirs.emplace_back(home + "/.local/share/fonts");
        dirs.emplace_back(home + "/.fonts");
        dirs.emplace_back(home + "/Library/Fonts");
    }
    const std::string windows = Environment("WINDIR");
    if (!windows.empty()) dirs.emplace_back(fs::path(windows) / "Fonts");
    const std::string local = Environment("LOCALAPPDATA");
    if (!local.empty()) dirs.emplace_back(fs::path(local) / "Microsoft" / "Windows" / "Fonts");
    return dirs;
}

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

} // namespace

std::string StandardFontFileName(const std::string& family, std::int32_t style) {
    std::string name;
    if (family == "Arial")
        name = "LiberationSans";
    else if (family == "TimesNewRoman")
        name = "LiberationSerif";
    else if (family == "CourierNew")
        name = "LiberationMono";
    else
        return {};
    switch (style & 3) {
    case 1:
        return name + "-Bold.ttf";
    case 2:
        return name + "-Italic.ttf";
    case 3:
        return name + "-BoldItalic.ttf";
    default:
        return name + "-Regular.ttf";
    }
}

std::string FindStandardFontFile(const std::string& family, std::int32_t style) {
    const std::string name = StandardFontFileName(family, style);
    if (name.empty()) return {};
    const std::vector<fs::path> dirs = FontFolders();
    // The folders of the first Liberation release come first: its faces are the ones the
    // width tables were measured on, and a later release may keep the same file names.
    for (const fs::path& dir : dirs) {
        for (const fs::path& candidate :
             {dir / name, dir / "liberation" / name, dir / "truetype" / "liberation" / name}) {
            if (IsFile(candidate)) return candidate.string();
        }
    }
    for (const fs::path& dir : dirs) {
        std::error_code error;
        for (fs::recursive_directory_iterator
                 it(dir, fs::directory_options::skip_permission_denied, error),
             end;
             !error && it != end; it.increment(error)) {
            if (it->path().filename() == name && IsFile(it->path())) return it->path().string();
        }
    }
    return {};
}

} // namespace detail
} // namespace pagora
