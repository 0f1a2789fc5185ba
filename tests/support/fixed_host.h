// A host with a fixed clock and random source, so that whole documents can be compared byte for
// byte: 7 March 2025, 09:15:00 at UTC+1, resource prefix "AABC12+".
#pragma once

#include "pdf/writer/Pagora.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class FixedHost final : public pagora::PagoraHost {
public:
    pagora::LocalTime Now() override { return now; }
    void Randomize() override {}
    double Random() override { return random; }
    void OpenDocument(const std::string& path) override { opened.push_back(path); }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    pagora::LocalTime now{2025, 3, 7, 9, 15, 0, 60};
    double random = 0xABC12 / 16777215.0;
    std::vector<std::string> opened;
    std::vector<std::string> messages;
};

inline std::shared_ptr<FixedHost> MakeFixedHost() {
    return std::make_shared<FixedHost>();
}

} // namespace testing_support
