// TNetConnection: a screen's connection to its application server object
// (ServerName, e.g. "CTB11000.rdmLancamentos") and the late-bound calls made
// through it.
//
// Contract:
//  - SetConnected(true) runs BeforeConnect (where the screen sets Host and
//    Port) and connects; a failure throws ENetConnectionError with a
//    Portuguese text and leaves the connection closed.
//  - Call(method, args) sends positional arguments; an argument is a value or
//    ByRef(variable) of the caller's std::string or double, which receives the
//    server's value after a successful call (and is left alone on failure).
//  - With ThrowException false (the screens' setting) a failure of the call,
//    of the server's method or of the connection comes back as an error
//    object (IsServerError), which Consiste::CheckResultServ reports; with
//    ThrowException true it is thrown as ERpcError instead.
#pragma once

#include "ledger/methods.h"
#include "platform/data/component.h"
#include "platform/net/rpcvalue.h"

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

// The connection could not be opened.
class ENetConnectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An error object as a call hands it to its caller: the server's code and its
// Portuguese message.
TRpcValue MakeServerError(const std::string& code, const std::string& message);
bool IsServerError(const TRpcValue& value, std::string* code = nullptr, std::string* message = nullptr);

// One positional argument of Call.
class TArg {
public:
    TArg(TRpcValue value) : arg_(std::move(value)) {}
    TArg(Variant value) : arg_(TRpcValue(std::move(value))) {}
    TArg(const char* text) : arg_(TRpcValue(text)) {}
    TArg(const std::string& text) : arg_(TRpcValue(text)) {}
    TArg(double number) : arg_(TRpcValue(number)) {}
    TArg(int number) : arg_(TRpcValue(static_cast<double>(number))) {}
    TArg(bool flag) : arg_(TRpcValue(flag)) {}
    TArg(TDataPacket packet) : arg_(TRpcValue(std::move(packet))) {}

    bool IsRef() const { return arg_.index() != 0; }
    // The value sent: the argument itself, or the variable's current value.
    TRpcValue Value() const;
    // Converts the server's value for the referenced variable and returns
    // the step that stores it (nothing for a by-value argument); a value of
    // the wrong kind throws ERpcError("tipo") before anything is stored.
    std::function<void()> PrepareWriteBack(const TRpcValue& value) const;

private:
    friend TArg ByRef(std::string& variable);
    friend TArg ByRef(double& variable);
    explicit TArg(std::string* ref) : arg_(ref) {}
    explicit TArg(double* ref) : arg_(ref) {}
    std::variant<TRpcValue, std::string*, double*> arg_;
};

TArg ByRef(std::string& variable);
TArg ByRef(double& variable);

// What carries the calls: the MessagePack-RPC client by default; tests plug
// in their own.
class TAppServerTransport {
public:
    virtual ~TAppServerTransport() = default;
    // Throws on failure (ERpcError or any std::exception).
    virtual void Connect(const std::string& host, int port) = 0;
    virtual void Disconnect() = 0;
    virtual bool Connected() const = 0;
    // args[i] holds the value sent; for every index in byRef, args[i] receives
    // the server's value after a successful call. Throws ERpcError on failure.
    virtual TRpcValue Call(const std::string& method, std::vector<TRpcValue>& args, const std::vector<int>& byRef) = 0;
};

using TTransportFactory = std::function<std::unique_ptr<TAppServerTransport>()>;

class TNetConnection : public TComponent {
public:
    explicit TNetConnection(TComponent* owner = nullptr);
    ~TNetConnection() override;

    std::string ServerName;
    std::string Host;
    int Port = 0;
    bool ThrowException = false;
    std::function<void(TComponent* Sender)> BeforeConnect;

    bool Connected() const;
    void SetConnected(bool value);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }

    TRpcValue Call(const std::string& method, std::vector<TArg> args);
    // A method of the server's table, by its signature.
    TRpcValue Call(const ledger::TMethodSignature& method, std::vector<TArg> args) {
        return Call(std::string(method.Name), std::move(args));
    }
    // The same with the arguments as values: after a successful call the
    // by-reference positions of the signature hold the server's values (a failure
    // leaves `args` as it was).
    TRpcValue Call(const ledger::TMethodSignature& method, std::vector<TRpcValue>& args);

    // Replaces the transport of connections created from now on (nullptr
    // gives back the MessagePack-RPC client). For tests and special hosts.
    static void SetTransportFactory(TTransportFactory factory);

private:
    std::unique_ptr<TAppServerTransport> transport_;
    TRpcValue failure(const std::string& code, const std::string& message) const;
};
