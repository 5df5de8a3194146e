// TEntryStore's life cycle and the remote face of the store: argument
// checking, dispatch by method name, registration on the RPC server.
#include "server/store_impl.h"

#include "platform/net/utf8.h"

#if __has_include("server/rpc_server.h")
#include "server/rpc_server.h"
#define CTB_STORE_HAS_RPC_SERVER 1
#endif

using namespace ctbstore;

namespace {

[[noreturn]] void WrongType(const std::string& method, std::size_t index, const char* expected)
{
    Refuse("tipo", "O argumento " + std::to_string(index + 1) + " do método " + method +
                       " deve ser " + expected + ".");
}

const Variant& ScalarArg(const std::vector<TRpcValue>& args, std::size_t i, const std::string& method,
                         const char* expected)
{
    if (!args[i].IsScalar()) WrongType(method, i, expected);
    return args[i].Scalar();
}

std::string TextArg(const std::vector<TRpcValue>& args, std::size_t i, const std::string& method)
{
    const Variant& v = ScalarArg(args, i, method, "texto");
    if (v.IsNull()) return "";
    if (v.kind() != Variant::Kind::String) WrongType(method, i, "texto");
    if (!IsValidUtf8(*v.string_if()))
        Refuse("tipo", "O argumento " + std::to_string(i + 1) + " do método " + method +
                           " tem caracteres inválidos (o texto não está em UTF-8).");
    return v.AsString();
}

double NumberArg(const std::vector<TRpcValue>& args, std::size_t i, const std::string& method,
                 const char* expected)
{
    const Variant& v = ScalarArg(args, i, method, expected);
    if (v.IsNull()) return 0;
    if (v.kind() != Variant::Kind::Float && v.kind() != Variant::Kind::Integer)
        WrongType(method, i, expected);
    return v.AsFloat();
}

const TDataPacket& PacketArg(const std::vector<TRpcValue>& args, std::size_t i,
                             const std::string& method)
{
    if (!args[i].IsPacket()) WrongType(method, i, "um pacote de dados");
    return args[i].Packet();
}

void CountArgs(const std::vector<TRpcValue>& args, std::size_t n, const std::string& method)
{
    if (args.size() != n)
        Refuse("argumentos", "O método " + method + " espera " + std::to_string(n) +
                                 " argumentos e recebeu " + std::to_string(args.size()) + ".");
}

}  // namespace

TLancFiltro TLancFiltro::FromArgs(const std::vector<TRpcValue>& args)
{
    const std::string m = "GetLancCont";
    CountArgs(args, 18, m);
    TLancFiltro f;
    f.TipoFiltro = TextArg(args, 0, m);
    f.Empresa = TextArg(args, 1, m);
    f.NrLanc = TextArg(args, 2, m);
    f.ContFimZ = TextArg(args, 3, m);
    f.Hist = TextArg(args, 4, m);
    f.Clie = TextArg(args, 5, m);
    f.Forn = TextArg(args, 6, m);
    f.Banc = TextArg(args, 7, m);
    f.Docu = TextArg(args, 8, m);
    f.CentCust = TextArg(args, 9, m);
    f.ContIni = TextArg(args, 10, m);
    f.ContFim = TextArg(args, 11, m);
    f.DtIni = NumberArg(args, 12, m, "uma data");
    f.DtFim = NumberArg(args, 13, m, "uma data");
    f.VrIni = NumberArg(args, 14, m, "um número");
    f.VrFim = NumberArg(args, 15, m, "um número");
    f.HistLanc = TextArg(args, 16, m);
    f.Filial = TextArg(args, 17, m);
    return f;
}

TEntryStore::TEntryStore(const std::string& dbUrl) : impl_(std::make_unique<Impl>(dbUrl))
{
    auto lease = impl_->Pool.Acquire();
    ApplySchema(*lease, impl_->Dialect());
}

TEntryStore::~TEntryStore() = default;

const std::vector<TStoreMethod>& StoreMethods()
{
    static const std::vector<TStoreMethod> methods = {
        {"GetLancCont", {0, 2, 3, 4, 5, 6, 7, 8, 9, 17}},
        {"PrxLancContabil", {1}},
        {"GetLancContFiltrado", {}},
        {"GetLancCCusto", {}},
        {"SetLancContabil", {3, 4}},
        {"SetExcluiLancamento", {1}},
        {"getEmprRelac", {}},
        {"getCdLote", {}},
        {"ValidaMapa", {1}},
    };
    return methods;
}

TRpcValue TEntryStore::Call(const std::string& method, std::vector<TRpcValue>& args)
{
    auto is = [&](const char* name) { return SameName(method, name); };
    if (is("GetLancCont")) return TRpcValue(GetLancCont(TLancFiltro::FromArgs(args)));
    if (is("PrxLancContabil")) {
        CountArgs(args, 2, method);
        std::string emp = TextArg(args, 0, method), anoMes = TextArg(args, 1, method);
        std::string nr = PrxLancContabil(emp, anoMes);
        args[1] = TRpcValue(anoMes);
        return TRpcValue(nr);
    }
    if (is("GetLancContFiltrado") || is("GetLancCCusto")) {
        CountArgs(args, 2, method);
        std::string emp = TextArg(args, 0, method), nr = TextArg(args, 1, method);
        return TRpcValue(is("GetLancCCusto") ? GetLancCCusto(emp, nr) : GetLancContFiltrado(emp, nr));
    }
    if (is("SetLancContabil")) {
        CountArgs(args, 6, method);
        const TDataPacket& linhas = PacketArg(args, 0, method);
        const TDataPacket& rateio = PacketArg(args, 1, method);
        std::string emp = TextArg(args, 2, method), nr = TextArg(args, 3, method);
        std::string doc = TextArg(args, 4, method), oper = TextArg(args, 5, method);
        SetLancContabil(linhas, rateio, emp, nr, doc, oper);
        args[3] = TRpcValue(nr);
        args[4] = TRpcValue(doc);
        return TRpcValue(true);
    }
    if (is("SetExcluiLancamento")) {
        CountArgs(args, 2, method);
        std::string emp = TextArg(args, 0, method), nr = TextArg(args, 1, method);
        SetExcluiLancamento(emp, nr);
        args[1] = TRpcValue(nr);
        return TRpcValue(true);
    }
    if (is("getEmprRelac")) {
        CountArgs(args, 2, method);
        return TRpcValue(getEmprRelac(TextArg(args, 0, method), TextArg(args, 1, method)));
    }
    if (is("getCdLote")) {
        CountArgs(args, 2, method);
        return TRpcValue(getCdLote(TextArg(args, 0, method), TextArg(args, 1, method)));
    }
    if (is("ValidaMapa")) {
        CountArgs(args, 2, method);
        std::string emp = TextArg(args, 0, method), nr = TextArg(args, 1, method);
        TRpcValue result = ValidaMapa(emp, nr);
        args[1] = TRpcValue(nr);
        return result;
    }
    Refuse("metodo", "Método desconhecido: " + method);
}

void RegisterStoreMethods(TRpcServer& server, const std::string& dbUrl)
{
#ifdef CTB_STORE_HAS_RPC_SERVER
    auto store = std::make_shared<TEntryStore>(dbUrl);
    for (const TStoreMethod& m : StoreMethods()) {
        std::string name = m.Name;
        server.Register(name, m.ByRef, [store, name](std::vector<TRpcValue>& args) {
            return store->Call(name, args);
        });
    }
#else
    (void)server;
    (void)dbUrl;
    Refuse("interno", "Servidor RPC indisponível nesta compilação.");
#endif
}
