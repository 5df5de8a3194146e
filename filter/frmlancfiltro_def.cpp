// The definition of the filter dialog TfrmLancFiltro: what the user sees and
// what the handlers work on. Criteria groups sit in the base dialog's
// grbDadosRel, each group caption in bold:
//   grbConta      account range (masked edits with the account picture set at
//                 creation, tree lookups BtnPesquisa1/2 on qryContCtbl)
//   grbData       date range (dates default to the creation date, cdsData)
//   grbValor      value range
//   grbHistorico  "Todos"/"Lista" of standard histories
//   grbDoc, GroupBox1  document number, entry number
//   grbCodComer   client / supplier / bank "Todos"/"Lista" pairs
//   grbGerencial  branch / cost-centre "Todas"/"Lista" pairs
//   GroupBox2     history text
// Each "Lista" has a lookup button, disabled until "Lista" is checked; the
// list lookups run on the entry screen's queries.
#include "filter/frmlancfiltro.h"

#include "contracts/formbuild.h"
#include "contracts/zembra.h"

#include <charconv>
#include <initializer_list>
#include <utility>

using FormBuild::Component;
using FormBuild::Control;

namespace {

void place(TControl* c, int left, int top, int width, int height) {
    c->Left = left;
    c->Top = top;
    c->Width = width;
    c->Height = height;
}

TGroupBox* group(TfrmLancFiltro* f, TWinControl* parent, const char* name, const char* caption, int left, int top,
                 int width, int height) {
    auto* g = Control<TGroupBox>(f, parent, name);
    g->Caption = caption;
    g->Font.Bold = true;
    place(g, left, top, width, height);
    return g;
}

TLabel* label(TfrmLancFiltro* f, TWinControl* parent, const char* name, const char* caption, int left, int top) {
    auto* l = Control<TLabel>(f, parent, name);
    l->Caption = caption;
    l->Left = left;
    l->Top = top;
    return l;
}

TRadioButton* radio(TfrmLancFiltro* f, TWinControl* parent, const char* name, const char* caption, int left, int top,
                    bool checked) {
    auto* r = Control<TRadioButton>(f, parent, name);
    r->Caption = caption;
    r->TabStop = true;
    place(r, left, top, 60, 17);
    r->SetChecked(checked);
    return r;
}

// A list lookup button: its OnClick does the whole lookup.
TBtnPesquisa* listButton(TfrmLancFiltro* f, TWinControl* parent, const char* name, int left, int top) {
    auto* b = Control<TBtnPesquisa>(f, parent, name);
    b->Hint = "Pesquisar";
    b->ShowHint = true;
    b->Enabled = false;
    place(b, left, top, 23, 22);
    return b;
}

TBtnPesquisa* accountTreeButton(TfrmLancFiltro* f, TWinControl* parent, const char* name, TMaskEdit* associate,
                                TDataSource* ds, int left, int top) {
    auto* b = Control<TBtnPesquisa>(f, parent, name);
    b->Hint = "Pesquisar";
    b->ShowHint = true;
    b->Associate = associate;
    b->PesqType = ptArvore;
    b->Title = "Conta Contábil";
    b->DataSource = ds;
    b->PictType = Zembra::ptContCtbl;
    b->FieldNivel = "CDNVCONTCTBL";
    b->FieldCodigo = "CDCONTCTBL";
    b->FieldNome = "NMCONTCTBL";
    b->EmptyError = "Não há conta contábil cadastrada.";
    place(b, left, top, 23, 22);
    return b;
}

TMaskEdit* maskEdit(TfrmLancFiltro* f, TWinControl* parent, const char* name, const char* mask, int maxLength, int left,
                    int top, int width) {
    auto* e = Control<TMaskEdit>(f, parent, name);
    e->TabStop = true;
    e->Color = clWindow;
    if (*mask) e->SetEditMask(mask);
    e->MaxLength = maxLength;
    place(e, left, top, width, 21);
    return e;
}

TDateEditPlus* dateEdit(TfrmLancFiltro* f, TWinControl* parent, const char* name, int left, int top) {
    auto* d = Control<TDateEditPlus>(f, parent, name);
    d->TabStop = true;
    d->Color = clInfoBk;
    d->ValidDateColor = clBlue;
    d->DayNames = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};
    d->SaveTime = true;
    place(d, left, top, 90, 21);
    return d;
}

TNumberEdit* numberEdit(TfrmLancFiltro* f, TWinControl* parent, const char* name, int left, int top) {
    auto* n = Control<TNumberEdit>(f, parent, name);
    n->TabStop = true;
    n->Color = clWindow;
    n->Decimals = 2;
    n->Currency = false;
    n->Thousands = false;
    place(n, left, top, 100, 21);
    return n;
}

// Amounts published with a decimal point, shortest text that reads back.
std::string amountText(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

}  // namespace

TfrmLancFiltro::TfrmLancFiltro(TComponent* owner) : TfrmRotiGeral(owner), TPublishedMembers("TfrmLancFiltro") {
    Name = "frmLancFiltro";
    Caption = "Filtro de Lançamento Contábil";
    lblCodTela->Caption = "CTB11010";
    HelpContext = 10611010;
    Width = 560;
    Height = 520;
    buildData();
    buildCriteria();
    buildGroups();
    buildLists();
    fillMessages();
    bindHandlers();
    publishMembers();
}

void TfrmLancFiltro::buildCriteria() {
    grbConta = group(this, grbDadosRel, "grbConta", "Conta Contábil", 8, 8, 530, 48);
    lblContIn = label(this, grbConta, "lblContIn", "de", 8, 22);
    medContCtblIn = maskEdit(this, grbConta, "medContCtblIn", "", 20, 28, 18, 180);
    BtnPesquisa1 = accountTreeButton(this, grbConta, "BtnPesquisa1", medContCtblIn, dtsContCtbl, 210, 18);
    lblContFi = label(this, grbConta, "lblContFi", "até", 250, 22);
    medContCtblFi = maskEdit(this, grbConta, "medContCtblFi", "", 20, 276, 18, 180);
    BtnPesquisa2 = accountTreeButton(this, grbConta, "BtnPesquisa2", medContCtblFi, dtsContCtbl, 458, 18);

    grbData = group(this, grbDadosRel, "grbData", "Data de Lançamento", 8, 60, 260, 48);
    lblDtIni = label(this, grbData, "lblDtIni", "de", 8, 22);
    depIni = dateEdit(this, grbData, "depIni", 28, 18);
    lblDtFim = label(this, grbData, "lblDtFim", "até", 128, 22);
    depFim = dateEdit(this, grbData, "depFim", 154, 18);

    grbValor = group(this, grbDadosRel, "grbValor", "Valor", 278, 60, 260, 48);
    lblValorIni = label(this, grbValor, "lblValorIni", "de", 8, 22);
    edtValorIni = numberEdit(this, grbValor, "edtValorIni", 28, 18);
    lblValorFim = label(this, grbValor, "lblValorFim", "até", 134, 22);
    edtValorFim = numberEdit(this, grbValor, "edtValorFim", 154, 18);

    grbHistorico = group(this, grbDadosRel, "grbHistorico", "Histórico Padrão", 8, 112, 260, 48);
    rbtTodos = radio(this, grbHistorico, "rbtTodos", "Todos", 8, 20, true);
    rbtLista = radio(this, grbHistorico, "rbtLista", "Lista", 80, 20, false);
    sbtHist = listButton(this, grbHistorico, "sbtHist", 150, 16);

    grbDoc = group(this, grbDadosRel, "grbDoc", "Documento", 278, 112, 260, 48);
    lblDoc = label(this, grbDoc, "lblDoc", "Número", 8, 22);
    medDoc = maskEdit(this, grbDoc, "medDoc", "99999999999999999999;0; ", 20, 60, 18, 180);

    GroupBox1 = group(this, grbDadosRel, "GroupBox1", "Lançamento", 278, 164, 260, 48);
    lblLanc = label(this, GroupBox1, "lblLanc", "Número", 8, 22);
    medLanc = maskEdit(this, GroupBox1, "medLanc", "999999999999;0; ", 12, 60, 18, 120);
}

void TfrmLancFiltro::buildGroups() {
    grbCodComer = group(this, grbDadosRel, "grbCodComer", "Código Comercial", 8, 216, 530, 64);
    grbCliente = group(this, grbCodComer, "grbCliente", "Cliente", 8, 16, 168, 42);
    rbtTClie = radio(this, grbCliente, "rbtTClie", "Todos", 6, 18, true);
    rbtClie = radio(this, grbCliente, "rbtClie", "Lista", 70, 18, false);
    sbtClie = listButton(this, grbCliente, "sbtClie", 136, 14);
    grbFornecedor = group(this, grbCodComer, "grbFornecedor", "Fornecedor", 180, 16, 168, 42);
    rbtTForn = radio(this, grbFornecedor, "rbtTForn", "Todos", 6, 18, true);
    rbtForn = radio(this, grbFornecedor, "rbtForn", "Lista", 70, 18, false);
    sbtForn = listButton(this, grbFornecedor, "sbtForn", 136, 14);
    grbBanco = group(this, grbCodComer, "grbBanco", "Banco", 352, 16, 168, 42);
    rbtTBanc = radio(this, grbBanco, "rbtTBanc", "Todos", 6, 18, true);
    rbtBanc = radio(this, grbBanco, "rbtBanc", "Lista", 70, 18, false);
    sbtBanc = listButton(this, grbBanco, "sbtBanc", 136, 14);

    grbGerencial = group(this, grbDadosRel, "grbGerencial", "Código Gerencial", 8, 284, 530, 64);
    grbFilial = group(this, grbGerencial, "grbFilial", "Filial", 8, 16, 254, 42);
    rbtTFilial = radio(this, grbFilial, "rbtTFilial", "Todas", 6, 18, true);
    rbtLFilial = radio(this, grbFilial, "rbtLFilial", "Lista", 80, 18, false);
    btnFilial = listButton(this, grbFilial, "btnFilial", 150, 14);
    grbCentCust = group(this, grbGerencial, "grbCentCust", "Centro de Custo", 268, 16, 254, 42);
    rbtTCentCust = radio(this, grbCentCust, "rbtTCentCust", "Todos", 6, 18, true);
    rbtLCentCust = radio(this, grbCentCust, "rbtLCentCust", "Lista", 80, 18, false);
    btnCentCust = listButton(this, grbCentCust, "btnCentCust", 150, 14);

    GroupBox2 = group(this, grbDadosRel, "GroupBox2", "Histórico do Lançamento", 8, 352, 530, 48);
    medHistLanc = maskEdit(this, GroupBox2, "medHistLanc", "", 0, 8, 18, 510);
}

// The list lookups use the entry screen's queries; nothing to build here but
// the order in which Tab walks the criteria.
void TfrmLancFiltro::buildLists() {
    int order = 0;
    for (TWinControl* c : std::initializer_list<TWinControl*>{grbConta, grbData, grbValor, grbHistorico, grbDoc,
                                                              GroupBox1, grbCodComer, grbGerencial, GroupBox2})
        c->TabOrder = order++;
}

void TfrmLancFiltro::buildData() {
    qryContCtbl = Component<TADOIBQuery>(this, "qryContCtbl");
    qryContCtbl->SQL = {"SELECT CDCONTCTBL,",
                        "       NMCONTCTBL,",
                        "       CDNVCONTCTBL",
                        "FROM CONTCTBL",
                        "WHERE (CDCONTCTBL = :P_CDCONTCTBL OR :P_TCDCONTCTBL = 'T') ",
                        "ORDER BY CDCONTCTBL, CDNVCONTCTBL, NMCONTCTBL"};
    qryContCtblCDCONTCTBL = qryContCtbl->AddField("CDCONTCTBL", TFieldType::ftString, 20);
    qryContCtblCDCONTCTBL->DisplayLabel = "Código";
    qryContCtblNMCONTCTBL = qryContCtbl->AddField("NMCONTCTBL", TFieldType::ftString, 40);
    qryContCtblNMCONTCTBL->DisplayLabel = "Nome";
    qryContCtblCDNVCONTCTBL = qryContCtbl->AddField("CDNVCONTCTBL", TFieldType::ftString, 1);
    qryContCtblCDNVCONTCTBL->Visible = false;
    dtsContCtbl = Component<TDataSource>(this, "dtsContCtbl");
    dtsContCtbl->SetDataSet(qryContCtbl->Query());

    qryContOp = Component<TADOIBQuery>(this, "qryContOp");
    qryContOp->SQL = {"SELECT DTINICLANC, DTFINALANC, IDCONTCOME, IDCONTGERE", "FROM CONTOPECTBL",
                      "WHERE(CDEMPRESA = :P_CDEMPRESA)"};
    qryContOp->AddField("DTINICLANC", TFieldType::ftDateTime);
    qryContOp->AddField("DTFINALANC", TFieldType::ftDateTime);
    qryContOp->AddField("IDCONTCOME", TFieldType::ftString, 1);
    qryContOp->AddField("IDCONTGERE", TFieldType::ftString, 1);

    // One record: the day the dialog was created, default of both dates.
    cdsData = Component<TClientDataSet>(this, "cdsData");
    cdsDataDTHOJE = cdsData->AddField("DTHOJE", TFieldType::ftDateTime);
}

void TfrmLancFiltro::fillMessages() {
    msgPadrao->SetLines({
        "ContIni_Inf|Conta contábil inicial deve ser informada.",
        "ContFin_Inf|Conta contábil final deve ser informada.",
        "ContIni_ContFin|Conta contábil inicial deve ser menor ou igual a conta contábil final.",
        "DtIni_Inf|Data de lançamento inicial deve ser informada.",
        "DtFim_Inf|Data de lançamento final deve ser informada.",
        "DtIni_DtFin|Data de lançamento inicial deve ser menor ou igual a data de lançamento "
        "final.",
        "HistPadr_Inf|Histórico padrão deve ser informado.",
        "Clie_Inf|Cliente deve ser informado.",
        "Forn_Inf|Fornecedor deve ser informado.",
        "Banc_Inf|Banco deve ser informado.",
        "Filial_Inf|Filial deve ser informada.",
        "CentCust_Inf|Centro de Custo deve ser informado.",
        "VRFIN_DEV|Valor final deve ser igual ou maior que o valor inicial.",
        "CONT_CAD|Conta contábil não cadastrada.",
        "HIST_CAD|Histórico padrão não cadastrado.",
        "Hist|Histórico Padrão",
        "Forn|Fornecedor",
        "Banc|Banco",
        "Clie|Cliente",
        "Hist_Inf|Histórico padrão deve ser informado.",
        "Hist_NCad|Não há histórico padrão cadastrado.",
        "Cliente_Cad|Não há cliente cadastrado.",
        "Forn_Cad|Não há fornecedor cadastrado.",
        "Banc_Cad|Não há banco cadastrado.",
        "VRFINMENOR|Valor final deve ser maior ou igual ao valor inicial.",
    });
}

void TfrmLancFiltro::bindHandlers() {
    OnActivate = [this](TObject* s) { FormActivate(s); };
    medContCtblIn->OnExit = [this](TObject* s) { medContCtblInExit(s); };
    medContCtblFi->OnExit = [this](TObject* s) { medContCtblFiExit(s); };
    BtnPesquisa1->OnBeforePesq = [this](TObject* s) { BtnPesquisa1BeforePesq(s); };
    BtnPesquisa2->OnBeforePesq = [this](TObject* s) { BtnPesquisa1BeforePesq(s); };
    BtnPesquisa1->OnAfterPesq = [this](TObject* s) { BtnPesquisa1AfterPesq(s); };
    BtnPesquisa2->OnAfterPesq = [this](TObject* s) { BtnPesquisa2AfterPesq(s); };
    depIni->OnExit = [this](TObject* s) { depIniExit(s); };
    depFim->OnExit = [this](TObject* s) { depFimExit(s); };
    edtValorIni->OnExit = [this](TObject* s) { edtValorIniExit(s); };
    edtValorIni->OnKeyPress = [this](TObject* s, char& k) { edtValorIniKeyPress(s, k); };
    edtValorFim->OnKeyPress = [this](TObject* s, char& k) { edtValorIniKeyPress(s, k); };
    medHistLanc->OnKeyPress = [this](TObject* s, char& k) { medHistLancKeyPress(s, k); };
    rbtTodos->OnClick = rbtLista->OnClick = [this](TObject* s) { rbtListaClick(s); };
    rbtTClie->OnClick = rbtClie->OnClick = [this](TObject* s) { rbtClieClick(s); };
    rbtTForn->OnClick = rbtForn->OnClick = [this](TObject* s) { rbtFornClick(s); };
    rbtTBanc->OnClick = rbtBanc->OnClick = [this](TObject* s) { rbtBancClick(s); };
    rbtTFilial->OnClick = rbtLFilial->OnClick = [this](TObject* s) { rbtTFilialClick(s); };
    rbtTCentCust->OnClick = rbtLCentCust->OnClick = [this](TObject* s) { rbtTCentCustClick(s); };
    sbtHist->OnClick = [this](TObject* s) { BtnPesquisa3Click(s); };
    sbtClie->OnClick = [this](TObject* s) { BtnPesquisa4Click(s); };
    sbtForn->OnClick = [this](TObject* s) { BtnPesquisa5Click(s); };
    sbtBanc->OnClick = [this](TObject* s) { BtnPesquisa6Click(s); };
    btnFilial->OnClick = [this](TObject* s) { btnFilialClick(s); };
    btnCentCust->OnClick = [this](TObject* s) { btnCentCustClick(s); };
}

// What `expect frmLancFiltro.MEMBER` reads: the applied filter, the working
// lists and a few saved criteria
// (FiltroSalvo* : its dates, entry number and document).
void TfrmLancFiltro::publishMembers() {
    for (auto [name, member] : std::initializer_list<std::pair<const char*, const std::string*>>{
             {"stTipoFiltro", &stTipoFiltro},     {"stFiltEmpresa", &stFiltEmpresa},
             {"stFiltNrLanc", &stFiltNrLanc},     {"stFiltContFimZ", &stFiltContFimZ},
             {"stFiltHist", &stFiltHist},         {"stFiltClie", &stFiltClie},
             {"stFiltForn", &stFiltForn},         {"stFiltBanc", &stFiltBanc},
             {"stFiltDocu", &stFiltDocu},         {"stFiltCentCust", &stFiltCentCust},
             {"stFiltContIni", &stFiltContIni},   {"stFiltContFim", &stFiltContFim},
             {"stFiltHistLanc", &stFiltHistLanc}, {"stFiltFilial", &stFiltFilial},
             {"stListaHist", &stListaHist},       {"stListaForn", &stListaForn},
             {"stListaClie", &stListaClie},       {"stListaBanc", &stListaBanc},
             {"stListaFilial", &stListaFilial},   {"stListaCentCust", &stListaCentCust}})
        PublishText(name, member);
    Publish("dtFiltIni", [this] { return DateToStr(dtFiltIni); });
    Publish("dtFiltFim", [this] { return DateToStr(dtFiltFim); });
    Publish("vrFiltIni", [this] { return amountText(vrFiltIni); });
    Publish("vrFiltFim", [this] { return amountText(vrFiltFim); });
    Publish("FiltroSalvoDtIni", [this] { return DateToStr(FiltroSalvo.dtIni); });
    Publish("FiltroSalvoDtFim", [this] { return DateToStr(FiltroSalvo.dtFim); });
    Publish("FiltroSalvoNrLanc", [this] { return FiltroSalvo.DocLanc.stNrLanc; });
    Publish("FiltroSalvoDocu", [this] { return FiltroSalvo.DocLanc.stDocu; });
}
