#include "server/rpc_session.h"

#include "platform/data/text.h"
#include "platform/net/session_token.h"
#include "platform/net/utf8.h"

namespace {

thread_local const TRpcCaller* current = nullptr;

bool IsOpenSession(const std::string& method) { return SameText(method, kOpenSessionMethod); }

// Argument i as text ("" when absent, nil or not a text); cut to a sane size.
std::string TextAt(const std::vector<TRpcValue>& params, std::size_t i, std::size_t max) {
    if (i >= params.size() || !params[i].IsScalar()) return "";
    const std::string* s = params[i].Scalar().string_if();
    if (!s || !IsValidUtf8(*s)) return "";
    return s->size() > max ? s->substr(0, max) : *s;
}

TRpcResponse Refusal(std::uint32_t msgid, const std::string& message) {
    TRpcResponse r;
    r.MsgId = msgid;
    r.Ok = false;
    r.ErrorCode = WireCode(TErrorKind::Acesso);
    r.ErrorMessage = message;
    return r;
}

}  // namespace

const TRpcCaller& CurrentRpcCaller() {
    static const TRpcCaller none;
    return current ? *current : none;
}

TRpcCallerScope::TRpcCallerScope(const TRpcCaller& caller) : previous_(current) { current = &caller; }

TRpcCallerScope::~TRpcCallerScope() { current = previous_; }

bool TRpcSessionGate::Intercept(TRpcRequest& req, TRpcResponse& answer, bool& close) {
    close = false;
    const bool opening = IsOpenSession(req.Method);
    if (!opening && (token_.empty() || admitted_)) return false;
    const std::string given = opening ? TextAt(req.Params, 0, 4096) : "";
    if (!token_.empty() && !SameToken(given, token_)) {
        answer = Refusal(req.MsgId, given.empty() ? "Acesso negado: este servidor de aplicação exige a chave de acesso "
                                                    "(o arquivo indicado em CTB_SERVER_TOKEN_FILE ou --token-file)."
                                                  : "Acesso negado: a chave de acesso não confere com a do servidor "
                                                    "de aplicação.");
        close = true;
        return true;
    }
    admitted_ = true;
    caller_.Session = TextAt(req.Params, 1, 64);
    caller_.Operator = TextAt(req.Params, 2, 64);
    answer = TRpcResponse{};
    answer.MsgId = req.MsgId;
    answer.Value = TRpcValue(true);
    return true;
}
