#include "app/core/ticket/iban_check.h"

#include "pdf/writer/Pagora.h"

namespace kerbolt::ticket {

bool CheckIban(const std::string& iban) {
    // Characters count by their code in the Windows code page, whatever their UTF-8 bytes:
    // upper-case A to Z are 10 to 35, and anything else spoils the remainder.
    const std::string ansi = pagora::Pagora::FromUtf8(iban);
    std::string text;
    for (const char ch : ansi) {
        if (ch != ' ' && ch != '\0') text += ch;
    }
    const std::string prefix = text.substr(0, 2);
    // Liechtenstein's accounts carry "LI"; "FL" stays accepted as it always was.
    if (prefix != "CH" && prefix != "FL" && prefix != "LI") return false;
    const std::string rotated = text.size() > 4 ? text.substr(4) + text.substr(0, 4) : text;
    int remainder = 0;
    for (const char ch : rotated) {
        const int code = static_cast<unsigned char>(ch);
        if (code >= '0' && code <= '9') {
            remainder = (remainder * 10 + (code - '0')) % 97;
        } else {
            // A truncating remainder: punctuation below "7" may make it negative.
            remainder = (remainder * 100 + (code - 55)) % 97;
        }
    }
    return remainder == 1;
}

} // namespace kerbolt::ticket
