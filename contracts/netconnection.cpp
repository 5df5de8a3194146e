#include "contracts/netconnection.h"

#include "contracts/zembra.h"
#include "platform/net/rpc_client.h"
#include "platform/net/session_token.h"

#include <algorithm>

namespace {

// An error object travels as an array whose first item is this marker; no
// method of the application server answers with such an array.
const char* const kErrorMarker =
    "\x1b"
    "ctb:erro";

// Each connection opens a session: the token of the host's token file
// (Zembra::ServerTokenFile) when it names one, an id of this connection's
// own (kept across reconnections) and the operator.
class TRpcTransport : public TAppServerTransport {
public:
    void Connect(const std::string& host, int port) override {
        const std::string file = Zembra::ServerTokenFile();
        client_.SetSession(file.empty() ? std::string() : ReadTokenFile(file), session_, Zembra::Operador());
        client_.Connect(host, port);
    }
    void Disconnect() override { client_.Disconnect(); }
    bool Connected() const override { return client_.Connected(); }
    TRpcValue Call(const std::string& method, std::vector<TRpcValue>& args, const std::vector<int>& byRef) override {
        std::vector<TRpcArg> wire;
        wire.reserve(args.size());
        for (std::size_t i = 0; i < args.size(); ++i) {
            const bool ref = std::find(byRef.begin(), byRef.end(), static_cast<int>(i)) != byRef.end();
            if (ref) wire.push_back(TRpcArg::Ref(args[i]));
            else wire.emplace_back(args[i]);
        }
        return client_.Call(method, wire);
    }

private:
    TRpcClient client_;
    const std::string session_ = NewSessionId();
};

TTransportFactory& transportFactory() {
    static TTransportFactory factory;
    return factory;
}

std::unique_ptr<TAppServerTransport> newTransport() {
    if (transportFactory()) return transportFactory()();
    return std::make_unique<TRpcTransport>();
}

}  // namespace

TRpcValue MakeServerError(const std::string& code, const std::string& message) {
    return TRpcValue(TRpcValue::Array{TRpcValue(kErrorMarker), TRpcValue(code), TRpcValue(message)});
}

bool IsServerError(const TRpcValue& value, std::string* code, std::string* message) {
    if (!value.IsArray()) return false;
    const auto& items = value.Items();
    if (items.size() != 3) return false;
    for (const TRpcValue& item : items)
        if (!item.IsScalar() || !item.Scalar().string_if()) return false;
    if (*items[0].Scalar().string_if() != kErrorMarker) return false;
    if (code) *code = *items[1].Scalar().string_if();
    if (message) *message = *items[2].Scalar().string_if();
    return true;
}

TRpcValue TArg::Value() const {
    if (auto* v = std::get_if<TRpcValue>(&arg_)) return *v;
    if (auto* s = std::get_if<std::string*>(&arg_)) return TRpcValue(**s);
    return TRpcValue(*std::get<double*>(arg_));
}

std::function<void()> TArg::PrepareWriteBack(const TRpcValue& value) const {
    if (auto* s = std::get_if<std::string*>(&arg_)) {
        std::string text = value.Scalar().AsString();
        return [target = *s, text = std::move(text)] { *target = text; };
    }
    if (auto* d = std::get_if<double*>(&arg_)) {
        double number = 0;
        if (!value.Scalar().TryAsFloat(number))
            throw ERpcError(TErrorKind::Tipo, "O servidor de aplicação devolveu um valor que não é número.");
        return [target = *d, number] { *target = number; };
    }
    return [] {};
}

TArg ByRef(std::string& variable) { return TArg(&variable); }
TArg ByRef(double& variable) { return TArg(&variable); }

TNetConnection::TNetConnection(TComponent* owner) : TComponent(owner) {}

TNetConnection::~TNetConnection() {
    if (transport_) transport_->Disconnect();
}

void TNetConnection::SetTransportFactory(TTransportFactory factory) { transportFactory() = std::move(factory); }

bool TNetConnection::Connected() const { return transport_ && transport_->Connected(); }

void TNetConnection::SetConnected(bool value) {
    if (!value) {
        if (transport_) transport_->Disconnect();
        return;
    }
    if (Connected()) return;
    if (BeforeConnect) BeforeConnect(this);
    const std::string where = Host + ":" + std::to_string(Port);
    if (Host.empty() || Port <= 0 || Port > 65535)
        throw ENetConnectionError("Servidor de aplicação " + ServerName + " não configurado (endereço \"" + where +
                                  "\").");
    if (!transport_) transport_ = newTransport();
    try {
        transport_->Connect(Host, Port);
    } catch (const std::exception& e) {
        transport_->Disconnect();
        throw ENetConnectionError("Não foi possível conectar ao servidor de aplicação " + ServerName + " em " + where +
                                  ". " + e.what());
    }
}

TRpcValue TNetConnection::failure(const std::string& code, const std::string& message) const {
    if (ThrowException) throw ERpcError(code, message);
    return MakeServerError(code, message);
}

TRpcValue TNetConnection::Call(const std::string& method, std::vector<TArg> args) {
    if (!Connected())
        return failure(WireCode(TErrorKind::Conexao),
                       "Conexão com o servidor de aplicação " + ServerName + " não está aberta.");
    std::vector<TRpcValue> values;
    std::vector<int> byRef;
    values.reserve(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        values.push_back(args[i].Value());
        if (args[i].IsRef()) byRef.push_back(static_cast<int>(i));
    }
    try {
        TRpcValue result = transport_->Call(method, values, byRef);
        // Every write-back is converted before any variable changes, so a
        // bad answer leaves the caller's variables as they were.
        std::vector<std::function<void()>> stores;
        for (int i : byRef)
            stores.push_back(args[static_cast<std::size_t>(i)].PrepareWriteBack(values[static_cast<std::size_t>(i)]));
        for (auto& store : stores) store();
        return result;
    } catch (const ERpcError& e) {
        return failure(e.Code(), e.what());
    } catch (const std::exception& e) {
        return failure(WireCode(TErrorKind::Interno), std::string("Falha na chamada de ") + method + ": " + e.what());
    }
}

TRpcValue TNetConnection::Call(const ledger::TMethodSignature& method, std::vector<TRpcValue>& args) {
    if (!Connected())
        return failure(WireCode(TErrorKind::Conexao),
                       "Conexão com o servidor de aplicação " + ServerName + " não está aberta.");
    std::vector<TRpcValue> values = args;
    try {
        TRpcValue result = transport_->Call(method.Name, values, method.ByRef);
        args = std::move(values);
        return result;
    } catch (const ERpcError& e) {
        return failure(e.Code(), e.what());
    } catch (const std::exception& e) {
        return failure(WireCode(TErrorKind::Interno),
                       std::string("Falha na chamada de ") + method.Name + ": " + e.what());
    }
}
