#include "platform/net/rpcvalue.h"

namespace {

[[noreturn]] void WrongKind(const char* expected) {
    throw ERpcError(TErrorKind::Tipo, std::string("Valor recebido não é ") + expected + ".");
}

}  // namespace

const Variant& TRpcValue::Scalar() const {
    if (!IsScalar()) WrongKind("um valor simples");
    return std::get<Variant>(v_);
}

Variant& TRpcValue::Scalar() {
    if (!IsScalar()) WrongKind("um valor simples");
    return std::get<Variant>(v_);
}

const TDataPacket& TRpcValue::Packet() const {
    if (!IsPacket()) WrongKind("um pacote de dados");
    return std::get<TDataPacket>(v_);
}

const TRpcValue::Array& TRpcValue::Items() const {
    if (!IsArray()) WrongKind("uma lista");
    return std::get<TRpcValue::Array>(v_);
}
