// Transfers with the server run here, on a thread of their own, one after the other, so that the
// windows never freeze while a server is slow or silent. While one runs the window shows it: a
// busy cursor at once and, past a second, a small dialog naming the step.
#pragma once

#include "app/core/store/app_state.h"
#include "app/platform/ports.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kerbolt::ui {

struct AppContext;

class TransferRunner : public QObject {
public:
    explicit TransferRunner(QObject* parent = nullptr);
    // Lets every transfer already handed in finish (each is bounded by the time-outs): an upload
    // owed to the server is not dropped because the window closed.
    ~TransferRunner() override;
    TransferRunner(const TransferRunner&) = delete;
    TransferRunner& operator=(const TransferRunner&) = delete;

    // Runs `job` on the transfer thread and returns at once; `done` gets its result later on the
    // windows' thread. A job that throws counts as failed. The job must not touch the windows.
    void Start(const std::string& step, std::function<bool()> job,
               std::function<void(bool)> done = {});

    // Runs `job` on the transfer thread and returns its result once it has ended. Meanwhile the
    // windows repaint and their timers fire, but the user's clicks and keys wait, so that no
    // second action starts in the middle of this one.
    bool Wait(const std::string& step, std::function<bool()> job);

    // Like Wait, with a button `skip_caption` in the dialog: nothing when the user stopped
    // waiting (the job then goes on by itself and its result is dropped).
    std::optional<bool> WaitOrSkip(const std::string& step, const std::string& skip_caption,
                                   std::function<bool()> job);

    // True while a job handed in has not reported back.
    bool Busy() const { return running_ > 0; }
    // The step of the job running now; empty when none runs.
    std::string CurrentStep() const { return steps_.empty() ? std::string() : steps_.front(); }
    // The progress dialog while it shows, else null.
    QProgressDialog* ProgressDialog() const { return dialog_; }
    // How long a transfer runs before the dialog shows (1 s).
    void SetDialogDelay(int milliseconds) { dialog_timer_.setInterval(milliseconds); }

private:
    void Begin(const std::string& step, const std::string& skip_caption);
    void End();
    void ShowDialog();
    void WorkerLoop();

    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;

    int running_ = 0;
    // The steps of the jobs handed in, the running one first (they run in this order).
    std::deque<std::string> steps_;
    std::string skip_caption_;
    std::function<void()> on_skip_;
    QTimer dialog_timer_;
    QPointer<QProgressDialog> dialog_;
};

// A transfer of the windows: through the runner, waiting without freezing, when there is one; on
// the spot otherwise.
bool RunTransfer(TransferRunner* runner, const std::string& step, const std::function<bool()>& job);

// Synchronises the data file with the server's copy and uploads the merge (see UploadDataFile),
// as RunTransfer does; true when the server holds it.
bool UploadDataFileWaiting(TransferRunner* runner, IFtp& ftp, const store::State& state);

// UploadDataFileWaiting; while it fails, `not_updated` asks whether to try again (the upload stays
// owed either way). True when the server holds the file in the end.
bool UploadDataFileOrAsk(TransferRunner* runner, IFtp& ftp, const store::State& state,
                         IPrompts& prompts, const std::string& not_updated);

} // namespace kerbolt::ui
