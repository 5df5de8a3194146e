// The opening step of every connection to the application server (see
// platform/net/session_token.h for the call). A connection's gate looks at
// each request before it is dispatched:
//  - AbrirSessao is answered by the gate itself: it checks the token when the
//    server requires one and remembers the client's session id and operator;
//  - with a token required, any other request before a successful
//    AbrirSessao, or a wrong token, is answered with "acesso" and the
//    connection is closed: no method ever runs for such a client;
//  - without a token, AbrirSessao is optional (any MessagePack-RPC client may
//    call the methods at once) and its token argument is not looked at.
// While a method runs, CurrentRpcCaller() names the session and operator of
// the connection it runs for.
#pragma once

#include "platform/net/codec.h"

#include <string>

struct TRpcCaller {
    std::string Session;   // "" when the client gave none
    std::string Operator;  // "" when unknown
};

// The caller of the method running on this thread (empty outside a call).
const TRpcCaller& CurrentRpcCaller();

// Makes `caller` the current one for the life of the scope.
class TRpcCallerScope {
public:
    explicit TRpcCallerScope(const TRpcCaller& caller);
    ~TRpcCallerScope();
    TRpcCallerScope(const TRpcCallerScope&) = delete;
    TRpcCallerScope& operator=(const TRpcCallerScope&) = delete;

private:
    const TRpcCaller* previous_;
};

class TRpcSessionGate {
public:
    // token: what clients must present; "" when none is required.
    explicit TRpcSessionGate(const std::string& token) : token_(token) {}

    // True when the gate answered the request itself (in `answer`); close:
    // the connection must end after that answer.
    bool Intercept(TRpcRequest& req, TRpcResponse& answer, bool& close);

    const TRpcCaller& Caller() const { return caller_; }

private:
    const std::string& token_;
    bool admitted_ = false;
    TRpcCaller caller_;
};
