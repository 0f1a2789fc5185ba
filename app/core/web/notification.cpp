#include "app/core/web/notification.h"

#include "app/core/store/records.h"

namespace kerbolt::web {

std::string EncodeFormValue(const std::string& value) {
    // Sent raw, "a+b@x.ch" would arrive as "a b@x.ch" and an "&" would start a field of its own.
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        const bool escape = c == '&' || c == '=' || c == '+' || c == '%' || c <= ' ' || c >= 0x7F;
        if (escape) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string BuildNotificationBody(const std::string& mail, const std::string& reference,
                                  const std::string& version, const DateTime& today) {
    return "&M=" + EncodeFormValue(mail) + "&F=" + EncodeFormValue(reference) +
           "&V=" + EncodeFormValue(version) +
           "&D=" + EncodeFormValue(store::FormatTicketDate(today));
}

std::string NotificationUrl(const std::string& notify_base_url) {
    return notify_base_url + "/ctrl/kb.php?";
}

} // namespace kerbolt::web
