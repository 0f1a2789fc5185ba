#include "tests/support/pdf_inspect.h"

namespace testing_support {

CommandResult InspectPdf(const std::string& path, const std::string& query,
                         const std::vector<std::string>& arguments, const std::string& password) {
    std::string command = "/usr/bin/python3 -W ignore " +
                          ShellQuoted(SourceDir() + "/tests/support/pdf_inspect.py") + " " + query +
                          " " + ShellQuoted(path);
    if (!password.empty()) command += " --password " + ShellQuoted(password);
    for (const std::string& argument : arguments)
        command += " " + ShellQuoted(argument);
    return RunCommand(command + " 2>&1");
}

CommandResult InspectFile(const std::string& path, const std::string& query,
                          const std::vector<std::string>& arguments) {
    return InspectPdf(path, query, arguments);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace testing_support
