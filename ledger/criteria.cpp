#include "ledger/criteria.h"

#include "ledger/methods.h"
#include "platform/data/text.h"

namespace ledger {

std::vector<TRpcValue> TLancFiltro::ToArgs() const {
    return {TRpcValue(TipoFiltro), TRpcValue(Empresa),  TRpcValue(NrLanc), TRpcValue(ContFimZ), TRpcValue(Hist),
            TRpcValue(Clie),       TRpcValue(Forn),     TRpcValue(Banc),   TRpcValue(Docu),     TRpcValue(CentCust),
            TRpcValue(ContIni),    TRpcValue(ContFim),  TRpcValue(DtIni),  TRpcValue(DtFim),    TRpcValue(VrIni),
            TRpcValue(VrFim),      TRpcValue(HistLanc), TRpcValue(Filial)};
}

TLancFiltro TLancFiltro::FromArgs(const std::vector<TRpcValue>& args) {
    const TMethodSignature& m = method::GetLancCont;
    CountArgs(args, m);
    TLancFiltro f;
    std::string* texts[] = {&f.TipoFiltro, &f.Empresa, &f.NrLanc, &f.ContFimZ, &f.Hist,    &f.Clie,
                            &f.Forn,       &f.Banc,    &f.Docu,   &f.CentCust, &f.ContIni, &f.ContFim};
    for (std::size_t i = 0; i < std::size(texts); ++i) *texts[i] = TextArg(args, i, m);
    f.DtIni = NumberArg(args, 12, m, "uma data");
    f.DtFim = NumberArg(args, 13, m, "uma data");
    f.VrIni = NumberArg(args, 14, m, "um número");
    f.VrFim = NumberArg(args, 15, m, "um número");
    f.HistLanc = TextArg(args, 16, m);
    f.Filial = TextArg(args, 17, m);
    return f;
}

// Kinds are read without regard to case, as method names are.
bool TLancFiltro::IsValueKind() const {
    return SameText(TipoFiltro, kFiltroValor) || SameText(TipoFiltro, kFiltroValorGer);
}

bool TLancFiltro::IsManagementKind() const {
    return SameText(TipoFiltro, kFiltroValorGer) || SameText(TipoFiltro, kAuxFiltroGer);
}

}  // namespace ledger
