// Deleting and abandoning a line of the entry on the form page: the line takes
// its apportionment lines with it, the totals and the copies follow, and an
// entry left without lines goes back to the reloaded list. Only local data
// changes here; boAlterado marks the entry for the next confirmation.
#include "entry/frmlancamentos.h"

#include <algorithm>

namespace {

// Deletes every record of the view, first to last (the view is one line's
// apportionment).
void DeleteWholeView(TClientDataSet* cds) {
    cds->First();
    while (!cds->IsEmpty()) cds->Delete();
}

}  // namespace

// The apportionment lines of the current line, found by its key; when there
// are any, the apportionment view is put on that line and emptied.
void TfrmLancamentos::ApagaRateioDaPartida(const std::string& keyFields) {
    if (!cdsLancCCusto->Active()) return;
    const std::string empresa = cdsLancContCDEMPRESA->AsString();
    const std::string nrLanc = cdsLancContNRLANCCONT->AsString();
    const std::string nrSeq = cdsLancContNRSEQLANC->AsString();
    // The key values follow the order of the key fields named.
    std::vector<Variant> values;
    std::size_t start = 0;
    while (start <= keyFields.size()) {
        const std::size_t end = std::min(keyFields.find(';', start), keyFields.size());
        const std::string key = keyFields.substr(start, end - start);
        values.push_back(Variant(key == "CDEMPRESA" ? empresa : key == "NRLANCCONT" ? nrLanc : nrSeq));
        start = end + 1;
    }
    if (!cdsLancCCusto->Locate(keyFields, values, {loCaseInsensitive})) return;
    cdsLancCCusto->SetFiltered(false);
    cdsLancCCusto->SetFilter(FiltroRateio(nrLanc, empresa, nrSeq));
    cdsLancCCusto->SetFiltered(true);
    DeleteWholeView(cdsLancCCusto);
}

void TfrmLancamentos::cdsLancContBeforeDelete(TDataSet*) {
    ValidaLancLote();
    CalculaDebitoCredito();
    ApagaRateioDaPartida("CDEMPRESA;NRSEQLANC;NRLANCCONT");
}

void TfrmLancamentos::cdsLancContAfterDelete(TDataSet* DataSet) {
    boAlterado = true;
    cdsLancCont->MergeChangeLog();
    if (cdsLancCont->IsEmpty()) VoltaParaLista();
    dtsPadraoStateChange(DataSet);
    cdsDebitoCredito->Data(cdsLancCont->Data());
    CalculaDebitoCredito();
}

void TfrmLancamentos::cdsLancContBeforeCancel(TDataSet*) {
    boCancelandoEdicao = cdsLancCont->State() == dsEdit;
    if (cdsLancCont->State() != dsInsert) return;
    ApagaRateioDaPartida("CDEMPRESA;NRLANCCONT;NRSEQLANC");
}

// An abandoned edit takes back what it did to the apportionment too: shares
// dropped by a change of account, or typed during the edit.
void TfrmLancamentos::restoreApportionmentOfEdit() {
    const bool restore = boCancelandoEdicao && boRateioGuardado && cdsLancCCusto->Active();
    boCancelandoEdicao = false;
    boRateioGuardado = false;
    if (!restore) return;
    if (cdsLancCCusto->State() != dsBrowse) cdsLancCCusto->Cancel();
    cdsLancCCusto->Data(pktRateioAntesEdicao);
    pktRateioAntesEdicao = TDataPacket();
    refilterApportionment();
    checkApportionmentPanel();
}

void TfrmLancamentos::cdsLancContAfterCancel(TDataSet* DataSet) {
    restoreApportionmentOfEdit();
    dtsPadraoStateChange(DataSet);
    if (!cdsLancCont->IsEmpty()) {
        cdsLancContEspelho->Data(cdsLancCont->Data());
        if (cdsLancCCusto->Active()) cdsLancCCustoEspelho->Data(cdsLancCCusto->Data());
        CalculaDebitoCredito();
        return;
    }
    boAlterado = false;
    VoltaParaLista();
}

// The entry has no line left: back to the browse page, which reloads the
// server's state of the entries.
void TfrmLancamentos::VoltaParaLista() {
    tshFolhaDados->Enabled = true;
    pgcPadrao->SetActivePage(tshFolhaDados);
    pgcPadraoChange(this);
}
