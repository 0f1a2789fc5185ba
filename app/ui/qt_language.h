// Qt's own texts (the buttons of message boxes, the standard dialogs, the edit menus of fields)
// in the interface's language.
#pragma once

namespace kerbolt::ui {

// Installs Qt's translation for a language (1 French, 2 German, 4 Italian) in place of the one
// installed before; English and any other value leave Qt's own English texts. Returns false when
// the language has a translation that could not be found: Qt then speaks English.
bool ApplyQtLanguage(int language);

} // namespace kerbolt::ui
