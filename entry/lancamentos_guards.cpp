// The guards that keep this screen off entries another process owns: an
// entry of a batch ("L") or of a closing ("F", "S") is maintained on the batch
// screen (ValidaLancLote), and an entry a tax assessment map uses cannot be
// changed or deleted (ValidaMapaApurac). Both ask the server and stop the
// running operation with a message naming the batch or the map.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "contracts/showavi.h"
#include "platform/ui/forms.h"

namespace {

// The message text with its "%s" replaced by the value.
std::string Preenche(std::string text, const std::string& value) {
    const auto at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}

std::string Trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

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
    Consiste::MensErro(Preenche(msgPadrao->Msg("LANC_LOTE"), lote.Scalar().AsString()), true);
}

// The answer is [status, maps]; "ERRO" says the entry is tied to the first map.
void TfrmLancamentos::ValidaMapaApurac() {
    TShowAviGuard busy(Application->MainForm, 1);
    const TRpcValue answer = Consiste::CheckResultServ(
        NetLancamentos->Call("ValidaMapa", {edtCdEmpresa->Text(), ByRef(stNrLancCont)}), true, 0);
    if (!answer.IsArray() || answer.Items().size() < 2 || !answer.Items()[0].IsScalar() ||
        !answer.Items()[1].IsPacket())
        throw ERpcError("tipo", "Resposta inválida do servidor à verificação do mapa de apuração.");
    cdsMapaApurac->Data(answer.Items()[1].Packet());
    if (answer.Items()[0].Scalar().AsString() != "ERRO") return;
    cdsMapaApurac->First();
    // Fixed-width columns may come padded: no blanks around "/" and "-".
    auto col = [this](const char* f) { return Trimmed(cdsMapaApurac->FieldByName(f)->AsString()); };
    const std::string mapa = col("MES") + "/" + col("ANO") + "-" + "Imposto: " + col("IMPOSTO");
    Consiste::MensErro(Preenche(msgPadrao->Msg("MAPA_APUR"), mapa), true);
}
