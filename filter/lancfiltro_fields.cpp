// The filter dialog's single fields: the account range with its checks and
// tree lookups, the date, value and history-text handlers, the six
// "Todos"/"Lista" pairs and the six list lookups (on the entry screen's
// queries and message table).
#include "filter/frmlancfiltro.h"

#include "contracts/consiste.h"
#include "contracts/pesqlista.h"
#include "contracts/tabvalid.h"
#include "contracts/zembra.h"
#include "entry/frmlancamentos.h"
#include "platform/ui/dispatch.h"

// --------------------------------------------------------------- accounts

// A code that fails the picture or is not in CONTCTBL keeps the focus in its
// field; the error goes on (it also stops a confirmation in progress). The
// field keeps the text as typed.
void TfrmLancFiltro::validaConta(TMaskEdit* edit) {
    if (Consiste::EmptyString(edit->Text())) return;
    try {
        std::string conta = edit->Text();
        Tabvalid::ValidEx(dtsContCtbl, Zembra::ptContCtbl, conta, {Tabvalid::voNivel}, "", false);
        qryContCtbl->Close();
        qryContCtbl->ParamByName("P_CDCONTCTBL")->SetAsString(conta);
        qryContCtbl->ParamByName("P_TCDCONTCTBL")->SetAsString("");
        qryContCtbl->Open();
        if (qryContCtbl->IsEmpty()) {
            edit->SetFocus();
            Consiste::MensErro(msgPadrao->Msg("CONT_CAD"), true);
        }
    } catch (...) {
        edit->SetFocus();
        throw;
    }
}

void TfrmLancFiltro::medContCtblInExit(TObject*) { validaConta(medContCtblIn); }

void TfrmLancFiltro::medContCtblFiExit(TObject*) { validaConta(medContCtblFi); }

// Both tree lookups offer every account.
void TfrmLancFiltro::BtnPesquisa1BeforePesq(TObject*) {
    qryContCtbl->Close();
    qryContCtbl->ParamByName("P_TCDCONTCTBL")->SetAsString("T");
    qryContCtbl->Open();
}

void TfrmLancFiltro::BtnPesquisa1AfterPesq(TObject*) { medContCtblIn->SetText(qryContCtblCDCONTCTBL->AsString()); }

void TfrmLancFiltro::BtnPesquisa2AfterPesq(TObject*) { medContCtblFi->SetText(qryContCtblCDCONTCTBL->AsString()); }

// ----------------------------------------------------- dates, values, text

void TfrmLancFiltro::depIniExit(TObject*) { depIni->CheckValidDate(); }

void TfrmLancFiltro::depFimExit(TObject*) { depFim->CheckValidDate(); }

// Leaving the initial value always proposes it as the final value.
void TfrmLancFiltro::edtValorIniExit(TObject*) { edtValorFim->SetText(edtValorIni->Text()); }

void TfrmLancFiltro::edtValorIniKeyPress(TObject*, char& Key) {
    if (Key == '_') Key = 0;
}

// Plain ASCII upper case: accented letters (UTF-8 bytes) pass unchanged.
void TfrmLancFiltro::medHistLancKeyPress(TObject*, char& Key) {
    if (Key >= 'a' && Key <= 'z') Key = static_cast<char>(Key - 'a' + 'A');
}

// ------------------------------------------------------------ radio pairs

void TfrmLancFiltro::trocaLista(TRadioButton* lista, TControl* botao, std::string& stLista) {
    botao->Enabled = lista->Checked();
    stLista.clear();
}

void TfrmLancFiltro::rbtListaClick(TObject*) { trocaLista(rbtLista, sbtHist, stListaHist); }

void TfrmLancFiltro::rbtClieClick(TObject*) { trocaLista(rbtClie, sbtClie, stListaClie); }

void TfrmLancFiltro::rbtFornClick(TObject*) { trocaLista(rbtForn, sbtForn, stListaForn); }

void TfrmLancFiltro::rbtBancClick(TObject*) { trocaLista(rbtBanc, sbtBanc, stListaBanc); }

void TfrmLancFiltro::rbtTFilialClick(TObject*) { trocaLista(rbtLFilial, btnFilial, stListaFilial); }

void TfrmLancFiltro::rbtTCentCustClick(TObject*) { trocaLista(rbtLCentCust, btnCentCust, stListaCentCust); }

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

// Reopens the entry screen's query on every row, then lets the user tick
// codes; the caption is "title|empty-list text" from the entry screen's table.
void pesquisaLista(const TListaLookup& l, std::string& lista) {
    l.query->Close();
    l.query->ParamByName(l.paramTodos)->SetAsString("T");
    l.query->Open();
    const TMessages& msg = *telaLancamentos().msgPadrao;
    const std::string titulo = msg.Msg(l.tituloKey) + "|" + msg.Msg(l.vazioKey);
    Pesqlista::PesquisaLista(l.dataSource, l.keyField, titulo, false, lista);
}

}  // namespace

void TfrmLancFiltro::BtnPesquisa3Click(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryHistPadr, "P_TCDHISTPADR", t.dtsHistPadr, "CDHISTPADR", "Hist", "Hist_NCad"}, stListaHist);
}

void TfrmLancFiltro::BtnPesquisa4Click(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryCliente, "P_TCDCLIENTE", t.dtsCliente, "CDCLIENTE", "Clie", "Cliente_Cad"}, stListaClie);
}

void TfrmLancFiltro::BtnPesquisa5Click(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryFornecedor, "P_TCDFORNECED", t.dtsFornecedor, "CDFORNECED", "Forn", "Forn_Cad"}, stListaForn);
}

void TfrmLancFiltro::BtnPesquisa6Click(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryBanco, "P_TCDREDUCONT", t.dtsBanco, "CDREDUCONT", "Banc", "Banc_Cad"}, stListaBanc);
}

void TfrmLancFiltro::btnFilialClick(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    pesquisaLista({t.qryFilial, "P_TCDFILIAL", t.dtsFilial, "CDFILIAL", "Filial", "Filial_Cad"}, stListaFilial);
}

// With a branch list chosen, only the cost centres linked to one of those
// branches are offered; P_CDCENTCUST is left as it is.
void TfrmLancFiltro::btnCentCustClick(TObject*) {
    TfrmLancamentos& t = telaLancamentos();
    const bool porFilial = rbtLFilial->Checked();
    t.qryCentCust->Close();
    t.qryCentCust->ParamByName("P_CDFILIAL")->SetAsString(porFilial ? stListaFilial : "");
    t.qryCentCust->ParamByName("P_TCDFILIAL")->SetAsString(porFilial ? "" : "T");
    pesquisaLista({t.qryCentCust, "P_TCDCENTCUST", t.dtsCentCust, "CDCENTCUST", "CentroCusto", "CentroCus_cad"},
                  stListaCentCust);
}
