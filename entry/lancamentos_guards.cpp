// The batch guard: entries produced by a batch ("L") or by a closing ("F",
// "S") are maintained on the batch screen, never here.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"

void TfrmLancamentos::ValidaLancLote() {
    const std::string origem = cdsLancContIDLANCINTE->AsString();
    if (origem.empty()) return;
    if (origem[0] != 'F' && origem[0] != 'L' && origem[0] != 'S') return;
    // Through the server check too: a server failure shows its own text
    // rather than an empty batch code.
    const TRpcValue lote = Consiste::CheckResultServ(
        NetLancamentos->Call("getCdLote", {cdsLancContCDEMPRESA->AsString(),
                                           cdsLancContNRLANCCONT->AsString()}),
        true, 0);
    std::string text = msgPadrao->Msg("LANC_LOTE");
    const auto at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, lote.Scalar().AsString());
    Consiste::MensErro(text, true);
}
