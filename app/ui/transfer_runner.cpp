#include "app/ui/transfer_runner.h"

#include "app/core/texts/transfer_texts.h"
#include "app/core/web/data_transfers.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>

#include <memory>

namespace kerbolt::ui {

TransferRunner::TransferRunner(QObject* parent) : QObject(parent) {
    dialog_timer_.setSingleShot(true);
    dialog_timer_.setTimerType(Qt::PreciseTimer); // "past a second", not 5 % earlier
    dialog_timer_.setInterval(1000);
    connect(&dialog_timer_, &QTimer::timeout, this, [this] { ShowDialog(); });
    worker_ = std::thread([this] { WorkerLoop(); });
}

TransferRunner::~TransferRunner() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
    if (running_ > 0) QApplication::restoreOverrideCursor();
    delete dialog_.data();
}

void TransferRunner::WorkerLoop() {
    for (;;) {
        std::function<void()> work;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

void TransferRunner::Start(const std::string& step, std::function<bool()> job,
                           std::function<void(bool)> done) {
    Begin(step, {});
    auto work = [this, job = std::move(job), done = std::move(done)] {
        bool ok = false;
        try {
            ok = job();
        } catch (...) {
            ok = false;
        }
        // Back on the windows' thread; dropped by Qt if the runner is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, ok, done] {
                End();
                if (done) done(ok);
            },
            Qt::QueuedConnection);
    };
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(work));
    }
    wake_.notify_one();
}

bool TransferRunner::Wait(const std::string& step, std::function<bool()> job) {
    QEventLoop loop;
    bool finished = false;
    bool result = false;
    Start(step, std::move(job), [&](bool ok) {
        finished = true;
        result = ok;
        loop.quit();
    });
    while (!finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

std::optional<bool> TransferRunner::WaitOrSkip(const std::string& step,
                                               const std::string& skip_caption,
                                               std::function<bool()> job) {
    struct Outcome {
        bool finished = false;
        bool ok = false;
        QPointer<QEventLoop> loop;
    };
    QEventLoop loop;
    // The job may outlive this call when the user skips it: what it reports to lives on.
    const auto outcome = std::make_shared<Outcome>();
    outcome->loop = &loop;
    Start(step, std::move(job), [outcome](bool ok) {
        outcome->finished = true;
        outcome->ok = ok;
        if (outcome->loop) outcome->loop->quit();
    });
    bool skipped = false;
    skip_caption_ = skip_caption;
    on_skip_ = [&] {
        skipped = true;
        loop.quit();
    };
    if (dialog_ != nullptr) ShowDialog(); // the dialog of an earlier job gets the button
    while (!outcome->finished && !skipped)
        loop.exec();
    on_skip_ = nullptr;
    skip_caption_.clear();
    if (dialog_ != nullptr && !outcome->finished) dialog_->hide();
    if (!outcome->finished) return std::nullopt;
    return outcome->ok;
}

void TransferRunner::Begin(const std::string& step, const std::string& skip_caption) {
    steps_.push_back(step);
    if (!skip_caption.empty()) skip_caption_ = skip_caption;
    if (running_++ == 0) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        dialog_timer_.start();
    }
}

void TransferRunner::End() {
    if (!steps_.empty()) steps_.pop_front();
    if (running_ == 0) return;
    if (--running_ > 0) {
        if (dialog_ != nullptr) dialog_->setLabelText(QString::fromStdString(CurrentStep()));
        return;
    }
    dialog_timer_.stop();
    QApplication::restoreOverrideCursor();
    if (dialog_ != nullptr) dialog_->deleteLater();
    dialog_ = nullptr;
}

void TransferRunner::ShowDialog() {
    if (running_ == 0) return;
    if (dialog_ == nullptr) {
        dialog_ = new QProgressDialog();
        dialog_->setObjectName(QStringLiteral("transferProgress"));
        dialog_->setRange(0, 0); // no figure to show: a file this small has no useful percentage
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumDuration(0);
        dialog_->setWindowModality(Qt::NonModal);
        dialog_->setWindowTitle(QApplication::applicationName());
        connect(dialog_, &QProgressDialog::canceled, this, [this] {
            if (on_skip_) on_skip_();
        });
    }
    dialog_->setLabelText(QString::fromStdString(CurrentStep()));
    if (skip_caption_.empty()) {
        dialog_->setCancelButton(nullptr);
    } else {
        dialog_->setCancelButtonText(QString::fromStdString(skip_caption_));
    }
    dialog_->show();
}

bool RunTransfer(TransferRunner* runner, const std::string& step,
                 const std::function<bool()>& job) {
    if (runner == nullptr) return job();
    return runner->Wait(step, job);
}

bool UploadDataFileWaiting(TransferRunner* runner, IFtp& ftp, const store::State& state) {
    return RunTransfer(runner, texts::StepText(state.Language, texts::Step::Upload),
                       [&] { return web::UploadDataFile(ftp, state.DataFile, state.AccountKey); });
}

bool UploadDataFileOrAsk(TransferRunner* runner, IFtp& ftp, const store::State& state,
                         IPrompts& prompts, const std::string& not_updated) {
    const std::string question = not_updated + "\n" + texts::RetryQuestion(state.Language);
    while (!UploadDataFileWaiting(runner, ftp, state)) {
        if (!prompts.Ask(question, MessageIcon::Exclamation)) return false;
    }
    return true;
}

} // namespace kerbolt::ui
