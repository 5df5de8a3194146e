// The one way the desktop changes the model: a user action run through the
// dispatcher (EAbort swallowed, other errors to the error box), after which
// every window is brought in step with the model.
#pragma once

#include <functional>

namespace desk {

class Actor {
public:
    virtual ~Actor() = default;
    // Runs the action; false when it ended with an error or a refusal.
    virtual bool Act(const std::function<void()>& action) = 0;
    // Brings every window in step with the model now.
    virtual void SyncAll() = 0;
};

}  // namespace desk
