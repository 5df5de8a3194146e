// The listing screen's single fields: the account range with its checks and
// tree lookups, the date checks, the four "Todos"/"Lista" pairs and the four
// list lookups (on the entry screen's queries and message table).
#include "listing/frmlanclista.h"

#include "contracts/consiste.h"
#include "contracts/pesqlista.h"
#include "contracts/tabvalid.h"
#include "contracts/zembra.h"
#include "entry/frmlancamentos.h"
#include "platform/ui/dispatch.h"

// --------------------------------------------------------------- accounts

// The code is looked up as typed, then its picture checked; a code that fails
// either keeps the focus in its field and the error goes on (it also stops a
// print in progress).
void TfrmLancLista::validaConta(TMaskEdit* edit) {
    if (Consiste::EmptyString(edit->Text())) return;
    std::string conta = edit->Text();
    qryContCtbl->Close();
    qryContCtbl->ParamByName("P_CDCONTCTBL")->SetAsString(conta);
    qryContCtbl->ParamByName("P_TCDCONTCTBL")->SetAsString("");
    qryContCtbl->Open();
    try {
        Tabvalid::ValidEx(dtsContCtbl, Zembra::ptContCtbl, conta, {Tabvalid::voNivel}, "", false);
        if (qryContCtbl->IsEmpty()) Consiste::MensErro(msgPadrao->Msg("Cont_Cad"), true);
    } catch (...) {
        edit->SetFocus();
        throw;
    }
}

void TfrmLancLista::medContCtblInExit(TObject*) { validaConta(medContCtblIn); }

void TfrmLancLista::medContCtblFiExit(TObject*) { validaConta(medContCtblFi); }

void TfrmLancLista::BtnPesquisa1BeforePesq(TObject*) {
    qryContCtbl->Close();
    qryContCtbl->ParamByName("P_TCDCONTCTBL")->SetAsString("T");
    qryContCtbl->Open();
}

void TfrmLancLista::BtnPesquisa1AfterPesq(TObject*) { medContCtblIn->SetText(qryContCtblCDCONTCTBL->AsString()); }

void TfrmLancLista::BtnPesquisa2AfterPesq(TObject*) { medContCtblFi->SetText(qryContCtblCDCONTCTBL->AsString()); }

void TfrmLancLista::depIniExit(TObject*) { depIni->CheckValidDate(); }

void TfrmLancLista::depFimExit(TObject*) { depFim->CheckValidDate(); }

// ------------------------------------------------------------ radio pairs

void TfrmLancLista::trocaLista(TRadioButton* lista, TControl* botao, std::string& stLista) {
    botao->Enabled = lista->Checked();
    stLista.clear();
}

void TfrmLancLista::rbtTodosClick(TObject*) { trocaLista(rbtLista, sbtHist, stListaHist); }

void TfrmLancLista::rbtTClieClick(TObject*) { trocaLista(rbtClie, sbtClie, stListaClie); }

void TfrmLancLista::rbtTFornClick(TObject*) { trocaLista(rbtForn, sbtForn, stListaForn); }

void TfrmLancLista::rbtTBancClick(TObject*) { trocaLista(rbtBanc, sbtBanc, stListaBanc); }

// ----------------------------------------------------------- list lookups

namespace {

struct TListaLookup {
    TADOIBQuery* query;
    const char* paramTodos;
    TDataSource* dataSource;
    const char* keyField;
    const char* tituloKey;
    const char* vazioKey;
};

TfrmLancamentos& telaLancamentos() {
    if (!frmLancamentos) throw Exception("A tela de lançamentos contábeis não está aberta.");
    return *frmLancamentos;
}

// Every row of the entry screen's query, then the user ticks codes; the
// caption is "title|empty-list text" from the entry screen's table.
void pesquisaLista(const TListaLookup& l, std::string& lista) {
    l.query->Close();
    l.query->ParamByName(l.paramTodos)->SetAsString("T");
    l.query->Open();
    const TMessages& msg = *telaLancamentos().msgPadrao;
    Pesqlista::PesquisaLista(l.dataSource, l.keyField, msg.Msg(l.tituloKey) + "|" + msg.Msg(l.vazioKey), false, lista);
}

}  // namespace

void TfrmLancLista::sbtHistClick(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryHistPadr, "P_TCDHISTPADR", t.dtsHistPadr, "CDHISTPADR", "Hist", "Historico_Cad"}, stListaHist);
}

void TfrmLancLista::sbtClieClick(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryCliente, "P_TCDCLIENTE", t.dtsCliente, "CDCLIENTE", "Clie", "Cliente_Cad"}, stListaClie);
}

void TfrmLancLista::BtnPesquisa5Click(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryFornecedor, "P_TCDFORNECED", t.dtsFornecedor, "CDFORNECED", "Forn", "Fornecedor_Cad"},
                  stListaForn);
}

void TfrmLancLista::sbtBancClick(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryBanco, "P_TCDREDUCONT", t.dtsBanco, "CDREDUCONT", "Banc", "ContaCorr_Cad"}, stListaBanc);
}
