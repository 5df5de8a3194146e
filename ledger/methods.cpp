#include "ledger/methods.h"

#include "platform/data/text.h"
#include "platform/net/rpcvalue.h"
#include "platform/net/utf8.h"

namespace ledger {

namespace method {
const TMethodSignature GetLancCont{"GetLancCont", 18, {0, 2, 3, 4, 5, 6, 7, 8, 9, 17}};
const TMethodSignature PrxLancContabil{"PrxLancContabil", 2, {1}};
const TMethodSignature GetLancContFiltrado{"GetLancContFiltrado", 2, {}};
const TMethodSignature GetLancCCusto{"GetLancCCusto", 2, {}};
const TMethodSignature SetLancContabil{"SetLancContabil", 6, {3, 4}};
const TMethodSignature SetExcluiLancamento{"SetExcluiLancamento", 2, {1}};
const TMethodSignature GetEmprRelac{"getEmprRelac", 2, {}};
const TMethodSignature GetCdLote{"getCdLote", 2, {}};
const TMethodSignature ValidaMapa{"ValidaMapa", 2, {1}};
const TMethodSignature GetVersaoLancCont{"GetVersaoLancCont", 1, {}};
}  // namespace method

const std::vector<const TMethodSignature*>& Methods() {
    static const std::vector<const TMethodSignature*> all = {
        &method::GetLancCont,     &method::PrxLancContabil,     &method::GetLancContFiltrado, &method::GetLancCCusto,
        &method::SetLancContabil, &method::SetExcluiLancamento, &method::GetEmprRelac,        &method::GetCdLote,
        &method::ValidaMapa,      &method::GetVersaoLancCont};
    return all;
}

const TMethodSignature* FindMethod(const std::string& name) {
    for (const TMethodSignature* m : Methods())
        if (SameText(m->Name, name)) return m;
    return nullptr;
}

namespace {

[[noreturn]] void WrongType(const TMethodSignature& m, std::size_t i, const char* expected) {
    throw ERpcError(TErrorKind::Tipo,
                    "O argumento " + std::to_string(i + 1) + " do método " + m.Name + " deve ser " + expected + ".");
}

const Variant& ScalarArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSignature& m,
                         const char* expected) {
    if (i >= args.size() || !args[i].IsScalar()) WrongType(m, i, expected);
    return args[i].Scalar();
}

}  // namespace

void CountArgs(const std::vector<TRpcValue>& args, const TMethodSignature& m) {
    if (args.size() != m.ArgCount)
        throw ERpcError(TErrorKind::Argumentos, "O método " + std::string(m.Name) + " espera " +
                                                    std::to_string(m.ArgCount) + " argumentos e recebeu " +
                                                    std::to_string(args.size()) + ".");
}

std::string TextArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSignature& m) {
    const Variant& v = ScalarArg(args, i, m, "texto");
    if (v.IsNull()) return "";
    if (v.kind() != Variant::Kind::String) WrongType(m, i, "texto");
    if (!IsValidUtf8(*v.string_if()))
        throw ERpcError(TErrorKind::Tipo, "O argumento " + std::to_string(i + 1) + " do método " + m.Name +
                                              " tem caracteres inválidos (o texto não está em UTF-8).");
    return v.AsString();
}

double NumberArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSignature& m, const char* expected) {
    const Variant& v = ScalarArg(args, i, m, expected);
    if (v.IsNull()) return 0;
    if (v.kind() != Variant::Kind::Float && v.kind() != Variant::Kind::Integer) WrongType(m, i, expected);
    return v.AsFloat();
}

const TDataPacket& PacketArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSignature& m) {
    if (i >= args.size() || !args[i].IsPacket()) WrongType(m, i, "um pacote de dados");
    return args[i].Packet();
}

}  // namespace ledger
