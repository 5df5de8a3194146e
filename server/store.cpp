// TEntryStore's life cycle and the remote face of the store: the method
// table (each shared method signature with its handler), dispatch by name and
// registration on the RPC server.
#include "server/store_impl.h"

#include "ledger/methods.h"
#include "platform/data/text.h"

#if __has_include("server/rpc_server.h")
#include "server/rpc_server.h"
#define CTB_STORE_HAS_RPC_SERVER 1
#endif

using namespace ctbstore;

TEntryStore::TEntryStore(const std::string& dbUrl) : impl_(std::make_unique<Impl>(dbUrl)) {
    auto lease = impl_->Pool.Acquire();
    ApplySchema(*lease, impl_->Dialect());
    ApplyVersionTriggers(*lease, impl_->Dialect());
}

TEntryStore::~TEntryStore() = default;

namespace {

using namespace ledger;

TRpcValue CallGetLancCont(TEntryStore& s, std::vector<TRpcValue>& args) {
    return TRpcValue(s.GetLancCont(TLancFiltro::FromArgs(args)));
}

TRpcValue CallGetVersaoLancCont(TEntryStore& s, std::vector<TRpcValue>& args) {
    return TRpcValue(s.GetVersaoLancCont(TextArg(args, 0, method::GetVersaoLancCont)));
}

TRpcValue CallPrxLancContabil(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::PrxLancContabil;
    std::string emp = TextArg(args, 0, m), anoMes = TextArg(args, 1, m);
    std::string nr = s.PrxLancContabil(emp, anoMes);
    args[1] = TRpcValue(anoMes);
    return TRpcValue(nr);
}

TRpcValue CallGetLancContFiltrado(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::GetLancContFiltrado;
    return TRpcValue(s.GetLancContFiltrado(TextArg(args, 0, m), TextArg(args, 1, m)));
}

TRpcValue CallGetLancCCusto(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::GetLancCCusto;
    return TRpcValue(s.GetLancCCusto(TextArg(args, 0, m), TextArg(args, 1, m)));
}

TRpcValue CallSetLancContabil(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::SetLancContabil;
    const TDataPacket& linhas = PacketArg(args, 0, m);
    const TDataPacket& rateio = PacketArg(args, 1, m);
    std::string emp = TextArg(args, 2, m), nr = TextArg(args, 3, m);
    std::string doc = TextArg(args, 4, m), oper = TextArg(args, 5, m);
    s.SetLancContabil(linhas, rateio, emp, nr, doc, oper);
    args[3] = TRpcValue(nr);
    args[4] = TRpcValue(doc);
    return TRpcValue(true);
}

TRpcValue CallSetExcluiLancamento(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::SetExcluiLancamento;
    std::string emp = TextArg(args, 0, m), nr = TextArg(args, 1, m);
    s.SetExcluiLancamento(emp, nr);
    args[1] = TRpcValue(nr);
    return TRpcValue(true);
}

TRpcValue CallGetEmprRelac(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::GetEmprRelac;
    return TRpcValue(s.getEmprRelac(TextArg(args, 0, m), TextArg(args, 1, m)));
}

TRpcValue CallGetCdLote(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::GetCdLote;
    return TRpcValue(s.getCdLote(TextArg(args, 0, m), TextArg(args, 1, m)));
}

TRpcValue CallValidaMapa(TEntryStore& s, std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::ValidaMapa;
    std::string emp = TextArg(args, 0, m), nr = TextArg(args, 1, m);
    TRpcValue result = s.ValidaMapa(emp, nr);
    args[1] = TRpcValue(nr);
    return result;
}

}  // namespace

const std::vector<TStoreMethod>& StoreMethods() {
    static const std::vector<TStoreMethod> methods = {
        {&method::GetLancCont, CallGetLancCont},
        {&method::PrxLancContabil, CallPrxLancContabil},
        {&method::GetLancContFiltrado, CallGetLancContFiltrado},
        {&method::GetLancCCusto, CallGetLancCCusto},
        {&method::SetLancContabil, CallSetLancContabil},
        {&method::SetExcluiLancamento, CallSetExcluiLancamento},
        {&method::GetEmprRelac, CallGetEmprRelac},
        {&method::GetCdLote, CallGetCdLote},
        {&method::ValidaMapa, CallValidaMapa},
        {&method::GetVersaoLancCont, CallGetVersaoLancCont},
    };
    return methods;
}

TRpcValue TEntryStore::Call(const std::string& name, std::vector<TRpcValue>& args) {
    for (const TStoreMethod& m : StoreMethods())
        if (SameText(m.Signature->Name, name)) {
            ledger::CountArgs(args, *m.Signature);
            return m.Handler(*this, args);
        }
    Refuse(TErrorKind::Metodo, "Método desconhecido: " + name);
}

void RegisterStoreMethods(TRpcServer& server, const std::string& dbUrl) {
#ifdef CTB_STORE_HAS_RPC_SERVER
    auto store = std::make_shared<TEntryStore>(dbUrl);
    for (const TStoreMethod& m : StoreMethods()) {
        const TStoreMethod method = m;
        if (m.Signature == &method::GetLancCont) {
            // A year of lines goes out in pieces as it is read.
            server.RegisterPacket(m.Signature->Name, m.Signature->ByRef, LancContFields(),
                                  [store, method](std::vector<TRpcValue>& args, TPacketStream& out) {
                                      ledger::CountArgs(args, *method.Signature);
                                      store->GetLancCont(TLancFiltro::FromArgs(args), out);
                                  });
            continue;
        }
        server.Register(m.Signature->Name, m.Signature->ByRef, [store, method](std::vector<TRpcValue>& args) {
            ledger::CountArgs(args, *method.Signature);
            return method.Handler(*store, args);
        });
    }
#else
    (void)server;
    (void)dbUrl;
    Refuse(TErrorKind::Interno, "Servidor RPC indisponível nesta compilação.");
#endif
}
