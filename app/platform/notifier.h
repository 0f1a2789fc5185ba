// The operator's server script is told of every new ticket and of every new installation.
#pragma once

#include <string>

namespace kerbolt {

class INotifier {
public:
    virtual ~INotifier() = default;
    // Starts the notification of a ticket reference (or of a bare account key) and returns at
    // once; the reply is handled later.
    virtual void NotifyServer(const std::string& reference) = 0;
};

// Passes each notification on to the notifier set later (none: it is dropped). The real one reads
// the application's state, so it can only be built once the windows' context holding that state
// exists, while the context itself needs a notifier.
class ForwardingNotifier final : public INotifier {
public:
    void NotifyServer(const std::string& reference) override {
        if (target != nullptr) target->NotifyServer(reference);
    }
    INotifier* target = nullptr;
};

} // namespace kerbolt
