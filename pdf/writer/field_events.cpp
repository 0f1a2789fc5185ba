// Scripts attached to the triggers of the form fields of the page being built.
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"

#include <array>
#include <string>

namespace pagora {

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
        const std::string entry = kKeys[static_cast<std::size_t>(OnEvent)] + action;
        if (OnEvent == 0) {
            field.action = entry;
        } else {
            field.additional_actions += entry;
            if (OnEvent == 8) field.calculated = true;
        }
    }
} catch (...) {
    detail::RethrowFailure("OnFieldEvent");
}

} // namespace pagora
