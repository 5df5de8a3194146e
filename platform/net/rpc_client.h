// TRpcClient: the module's end of the wire to the application server
// (MessagePack-RPC over TCP, see docs/protocol.md).
//
// Contract:
//  - every failure is an ERpcError with a Portuguese message fit for an error
//    box; Code() tells them apart:
//      "conexao"   could not connect, not connected, or the connection dropped
//      "tempo"     connect or call took longer than its timeout
//      "protocolo" the server's answer could not be read
//      any other   the error object the server answered with (its code and
//                  message unchanged: "metodo", "argumentos", "tipo", ...)
//  - after "conexao", "tempo" or "protocolo" the connection is closed
//    (Connected() is false) because the stream can no longer be trusted; the
//    caller may Connect again. A server error answer keeps the connection.
//  - a connection the server closed while it was idle (its idle timeout) is
//    opened again before the next call is sent; "conexao" only when that fails.
//  - by-reference arguments are written back into the caller's variables only
//    when the call succeeds; on any error they are left as they were.
//  - with a session set (SetSession), every connection, reconnections
//    included, first opens it (AbrirSessao, platform/net/session_token.h);
//    a refusal fails Connect with the server's "acesso" error.
//  - one call at a time: the client is used from the UI thread only and is not
//    safe to share between threads.
#pragma once

#include "platform/net/codec.h"
#include "platform/net/rpcvalue.h"

#include <chrono>
#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

// One positional argument: sent by value, or by reference to a caller's
// variable that the server's `out` map writes back after the call.
class TRpcArg {
public:
    // Any value a TRpcValue takes; pointers other than C strings are refused
    // so that a TRpcValue* never slips in as a boolean.
    template <class T>
    requires std::constructible_from<TRpcValue, T&&> &&
        (!std::is_pointer_v<std::decay_t<T>> || std::is_convertible_v<T&&, const char*>)TRpcArg(T&& value)
        : value_(std::forward<T>(value)) {}

    static TRpcArg Ref(TRpcValue& variable) { return TRpcArg(&variable); }

    bool ByRef() const { return ref_ != nullptr; }
    const TRpcValue& Value() const { return ref_ ? *ref_ : value_; }
    TRpcValue* Target() const { return ref_; }

private:
    explicit TRpcArg(TRpcValue* ref) : ref_(ref) {}
    TRpcValue value_;
    TRpcValue* ref_ = nullptr;
};

class TRpcClient {
public:
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{10000};
    static constexpr std::chrono::milliseconds DefaultCallTimeout{120000};

    explicit TRpcClient(TRpcLimits limits = {});
    ~TRpcClient();
    TRpcClient(const TRpcClient&) = delete;
    TRpcClient& operator=(const TRpcClient&) = delete;

    // Connects to host:port (a name or an address). Already connected: the old
    // connection is closed first. Throws ERpcError "conexao" or "tempo" with
    // "Não foi possível conectar ao servidor de aplicação em HOST:PORT. ...".
    void Connect(const std::string& host, int port, std::chrono::milliseconds timeout = DefaultConnectTimeout);
    void Disconnect() noexcept;
    bool Connected() const { return fd_ >= 0; }

    // The session every connection from now on opens: the server's token
    // ("" when it requires none), an id kept across reconnections and the
    // operator the client works for.
    void SetSession(std::string token, std::string session, std::string operador);

    // Calls `method` with the positional arguments and waits for the answer
    // (at most `timeout`). Returns the method's value; by-reference arguments
    // receive their values from the answer's `out` map.
    TRpcValue Call(const std::string& method, const std::vector<TRpcArg>& args,
                   std::chrono::milliseconds timeout = DefaultCallTimeout);

    // No arguments.
    TRpcValue Call(const std::string& method, std::chrono::milliseconds timeout = DefaultCallTimeout) {
        return Call(method, std::vector<TRpcArg>{}, timeout);
    }

    // Every argument by reference to the caller's variables (none may be null).
    TRpcValue Call(const std::string& method, const std::vector<TRpcValue*>& args,
                   std::chrono::milliseconds timeout = DefaultCallTimeout);

    const std::string& Host() const { return host_; }
    int Port() const { return port_; }

private:
    void SendAll(const std::string& bytes, std::chrono::steady_clock::time_point deadline);
    TRpcResponse ReadResponse(std::uint32_t msgid, std::chrono::steady_clock::time_point deadline);
    [[noreturn]] void Fail(TErrorKind kind, const std::string& message);
    bool ClosedWhileIdle() const;

    void OpenSession(std::chrono::milliseconds timeout);

    TRpcLimits limits_;
    bool hasSession_ = false;
    std::string token_, session_, operator_;
    int fd_ = -1;
    std::string host_;
    int port_ = 0;
    std::uint32_t nextMsgId_ = 1;
};
