// Showavi: the busy animation shown while the module waits for the server.
// Prefer TShowAviGuard, which hides it again whatever happens.
#pragma once

class TComponent;

namespace Showavi {

// Shows the animation of the given kind over owner (0 connecting, 1 saving,
// 6 filtering ...); the ui services show it and record it.
void ActiveShowAvi(TComponent* owner, int kind);
void DeactiveShowAvi();

}  // namespace Showavi

// Shows the animation for its lifetime.
class TShowAviGuard {
public:
    TShowAviGuard(TComponent* owner, int kind);
    ~TShowAviGuard();
    TShowAviGuard(const TShowAviGuard&) = delete;
    TShowAviGuard& operator=(const TShowAviGuard&) = delete;
    // Hides it now (the destructor then does nothing).
    void Release();

private:
    bool active_ = true;
};
