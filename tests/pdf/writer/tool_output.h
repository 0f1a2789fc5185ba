// Reading the reports of the command-line PDF tools.
#pragma once

#include <string>

namespace testing_support {

// The value of one "Name:   value" line of a report such as pdfinfo's ("<missing>" without one).
inline std::string ReportField(const std::string& report, const std::string& name) {
    std::size_t start = report.rfind(name + ":", 0) == 0 ? 0 : report.find("\n" + name + ":");
    if (start == std::string::npos) return "<missing>";
    if (report[start] == '\n') ++start;
    const std::size_t value = report.find_first_not_of(' ', start + name.size() + 1);
    if (value == std::string::npos) return "";
    return report.substr(value, report.find('\n', value) - value);
}

} // namespace testing_support
