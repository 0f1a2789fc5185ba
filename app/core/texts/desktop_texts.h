// Messages about the desktop around the windows: a document or page that did not open, and a
// setting that could not be kept.
#pragma once

#include <string>

namespace kerbolt::texts {

// A document the desktop could not open: the user learns where the file is, to open it himself.
std::string DocumentNotOpenedMessage(int language, const std::string& path);

// A page the desktop could not open: the user learns its address.
std::string PageNotOpenedMessage(int language, const std::string& url);

// A setting the settings file could not take: it holds until the program ends, not after.
std::string SettingNotSavedMessage(int language, const std::string& settings_path);

} // namespace kerbolt::texts
