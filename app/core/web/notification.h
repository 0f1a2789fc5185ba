// The body of the notification that tells the operator's script of a ticket or a new installation.
#pragma once

#include "app/platform/ports.h"

#include <string>

namespace kerbolt::web {

// A form value as sent: ordinary text byte for byte; "&", "=", "+", "%", blanks, control
// characters and every byte of a non-ASCII character as "%" and two upper-case hex digits.
std::string EncodeFormValue(const std::string& value);

// "&M=" mail "&F=" reference "&V=" version "&D=" date ("dd.mm.yyyy"), each value encoded.
std::string BuildNotificationBody(const std::string& mail, const std::string& reference,
                                  const std::string& version, const DateTime& today);

// The notification script's address and the header of the body.
std::string NotificationUrl(const std::string& notify_base_url);
inline constexpr const char* kFormContentType = "Content-Type: application/x-www-form-urlencoded";

} // namespace kerbolt::web
