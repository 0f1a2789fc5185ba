// A stand-in for the user-interface thread's event queue in tests without Qt: work posted from
// any thread waits here until the test runs it on its own thread.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace testing_support {

class UiQueue {
public:
    // The function that the HTTP port is given to post its replies.
    std::function<void(std::function<void()>)> Poster() {
        return [this](std::function<void()> work) {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(work));
        };
    }

    // Runs posted tasks one at a time until `done` holds; false after the time-out.
    bool RunUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (!RunOne()) {
                if (std::chrono::steady_clock::now() > deadline) return false;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return true;
    }

    // Runs one posted task; false when none is waiting.
    bool RunOne() {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty()) return false;
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
        return true;
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> queue_;
};

} // namespace testing_support
