// What the dialogs opened from the main window share: the state and ports they work with, and a
// window that reports when it unloads, so that the main window can come back without waiting in
// a loop of its own.
#pragma once

#include "app/core/store/app_state.h"
#include "app/platform/config.h"
#include "app/platform/ports.h"
#include "app/ui/window_common.h"

#include <QString>

class QLineEdit;
class QListWidget;
class QPushButton;

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace kerbolt::ui {

class TransferRunner;

// The state and ports of the dialogs, and the main window's routines they call after saving.
struct DialogContext {
    store::State& state;
    IPrompts& prompts;
    IFtp& ftp;
    IShell& shell;
    const ServerConfig& config;
    std::function<void()> ListePlaces;           // frmMain.ListePlaces
    std::function<void()> Creer;                 // frmMain.Creer
    std::function<std::string(int)> MainMessage; // frmMain.Message
    TransferRunner* transfers = nullptr;         // where uploads wait without freezing
};

// A monospaced face for the lists of fixed columns.
QFont ListFont();
// Puts a column heading right above the list's column that begins at character `column` and is
// `width` characters wide (a longer heading wraps onto a second line).
void PlaceHeading(QLabel* heading, const QListWidget* list, int column, int width);

// Sets the caption ("text") of each control to its text in a language 1 to 4, through
// `caption_text(language, caption)`; with any other language the design captions stay.
template <typename Caption, typename CaptionText>
void ApplyCaptions(int language, CaptionText caption_text,
                   std::initializer_list<std::pair<QObject*, Caption>> controls) {
    if (language < 1 || language > 4) return;
    for (const auto& [control, caption] : controls) {
        control->setProperty("text", Q(caption_text(language, caption)));
    }
}

// The lines of a list box, in order.
std::vector<std::string> ListLines(const QListWidget* list);

// A dialog: application-modal, gone once unloaded.
class DialogWindow : public KerboltWindow {
    Q_OBJECT
public:
    explicit DialogWindow(QWidget* parent = nullptr);
    // Closes the window for good; `unloaded` is emitted once.
    void Unload();
    bool IsUnloaded() const { return unloaded_; }
    // Places the window over the middle of `parent` (hidden or not), within the parent's screen.
    void CentreOn(const QWidget& parent);

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool unloaded_ = false;
};

// Shows a dialog modally and returns at once; `after` runs when it has unloaded.
void OpenModal(DialogWindow* dialog, std::function<void()> after = {});
// Shows a dialog modally and returns when it has unloaded.
void RunModal(DialogWindow* dialog);

} // namespace kerbolt::ui
