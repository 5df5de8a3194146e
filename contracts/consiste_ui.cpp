// Consiste: the routines that talk to the user or walk controls.
#include "contracts/consiste.h"

#include "contracts/netconnection.h"
#include "platform/ui/controls.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/services.h"

namespace Consiste {

void MensErro(const std::string& text, bool abort) {
    ShowError(text);
    if (abort) Abort();
}

TRpcValue CheckResultServ(const TRpcValue& result, bool abort, int /*helpCtx*/) {
    std::string message;
    if (!IsServerError(result, nullptr, &message)) return result;
    if (message.empty()) message = "O servidor de aplicação informou um erro.";
    MensErro(message, abort);
    return result;
}

void SetChildEnabled(TWinControl* container, bool enabled) {
    if (!container) return;
    for (int i = 0; i < container->ControlCount(); ++i) container->Controls(i)->Enabled = enabled;
}

}  // namespace Consiste
