// Scripts attached to the triggers of the form fields of the page being built.
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"

#include <array>
#include <string>

namespace pagora {

namespace {

// Takes the entry of one trigger (its key, then the action dictionary) out of a field's list of
// trigger entries, which each end with ">> ".
void RemoveTrigger(std::string& entries, const std::string& key) {
    const std::string start = key + "<<";
    for (std::size_t at = entries.find(start); at != std::string::npos;
         at = entries.find(start, at + 1)) {
        if (at != 0 && (at < 3 || entries.compare(at - 3, 3, ">> ") != 0)) continue;
        const std::size_t end = entries.find(">> ", at);
        entries.erase(at, end == std::string::npos ? std::string::npos : end + 3 - at);
        return;
    }
}

} // namespace

void Pagora::OnFieldEvent(int OnEvent, const std::string& FieldName,
                          const std::string& Action) try {
    detail::RefuseNulName(FieldName, "OnFieldEvent");
    auto& s = m_->writer;
    if (s.pdfa_mode || Action.empty() || s.form_fields.empty()) return;
    // Written also when no field matches; nothing then refers to it.
    const std::string action =
        "<< /S /JavaScript /JS " + std::to_string(detail::WriteTextStream(s, Action)) + " 0 R >> ";
    static constexpr std::array<const char*, 10> kKeys = {" /A ",  " /D ", " /E ", " /X ", " /Fo ",
                                                          " /Bl ", " /K ", " /V ", " /C ", " /F "};
    if (OnEvent < 0 || OnEvent >= static_cast<int>(kKeys.size())) return;
    for (auto field_at = s.form_fields.rbegin(); field_at != s.form_fields.rend(); ++field_at) {
        detail::FormFieldRecord& field = *field_at;
        const bool match =
            field.name == FieldName || (field.name.size() > FieldName.size() &&
                                        field.name.compare(0, FieldName.size(), FieldName) == 0 &&
                                        field.name[FieldName.size()] == '.');
        if (!match) continue;
        const std::string key = kKeys[static_cast<std::size_t>(OnEvent)];
        const std::string entry = key + action;
        if (OnEvent == 0) {
            field.action = entry;
        } else {
            // A trigger holds one script: a later call replaces the earlier one, as it does for
            // the click action, rather than writing the key twice.
            RemoveTrigger(field.additional_actions, key);
            field.additional_actions += entry;
            if (OnEvent == 8) field.calculated = true;
        }
    }
} catch (...) {
    detail::RethrowFailure("OnFieldEvent");
}

} // namespace pagora
