// The guards that keep this screen off entries another process owns: an
// entry of a batch ("L") or of a closing ("F", "S") is maintained on the batch
// screen (ValidaLancLote), and an entry a tax assessment map uses cannot be
// changed or deleted (ValidaMapaApurac). Both ask the server and stop the
// running operation with a message naming the batch or the map.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "contracts/showavi.h"
#include "ledger/methods.h"
#include "ledger/rules.h"
#include "platform/ui/forms.h"

void TfrmLancamentos::ValidaLancLote() {
    const std::string origem = cdsLancContIDLANCINTE->AsString();
    if (!ledger::BatchOrigin(origem)) return;
    // Through the server check too: a server failure shows its own text
    // rather than an empty batch code.
    const TRpcValue lote = Consiste::CheckResultServ(
        NetLancamentos->Call(ledger::method::GetCdLote.Name,
                             {cdsLancContCDEMPRESA->AsString(), cdsLancContNRLANCCONT->AsString()}),
        true, 0);
    check(ledger::CheckNotBatch(origem, lote.Scalar().AsString()));
}

// The answer is [status, maps]; "ERRO" says the entry is tied to the first map.
void TfrmLancamentos::ValidaMapaApurac() {
    TShowAviGuard busy(Application->MainForm, 1);
    const TRpcValue answer = Consiste::CheckResultServ(
        NetLancamentos->Call(ledger::method::ValidaMapa.Name, {edtCdEmpresa->Text(), ByRef(stNrLancCont)}), true, 0);
    if (!answer.IsArray() || answer.Items().size() < 2 || !answer.Items()[0].IsScalar() ||
        !answer.Items()[1].IsPacket())
        throw ERpcError(TErrorKind::Tipo, "Resposta inválida do servidor à verificação do mapa de apuração.");
    cdsMapaApurac->Data(answer.Items()[1].Packet());
    if (answer.Items()[0].Scalar().AsString() != "ERRO") return;
    cdsMapaApurac->First();
    auto col = [this](const char* f) { return cdsMapaApurac->FieldByName(f)->AsString(); };
    check(ledger::MapRefusal(col("MES"), col("ANO"), col("IMPOSTO")));
}
