#include "platform/ui/dispatch.h"

#include "platform/ui/forms.h"
#include "platform/ui/services.h"

namespace {
int depth = 0;

// Keeps the depth right whatever way the action ends.
struct DepthGuard {
    DepthGuard() { ++depth; }
    ~DepthGuard() { --depth; }
};

// The error box must not let a second failure escape the dispatcher.
void showSafely(const std::string& text) {
    try {
        ShowError(text);
    } catch (...) {}
}

void afterOutermost() {
    Application->ProcessMessages();
    Application->NotifyChanged();
}
}  // namespace

void Abort() { throw EAbort(); }

int DispatchDepth() { return depth; }

bool Dispatch(const std::function<void()>& action) {
    bool ok = false;
    {
        DepthGuard guard;
        try {
            action();
            ok = true;
        } catch (const EAbort&) {
            // a refusal already told the user what it had to
        } catch (const std::exception& e) {
            showSafely(e.what());
        } catch (...) {
            showSafely("Erro inesperado.");
        }
    }
    if (depth == 0) afterOutermost();
    return ok;
}
