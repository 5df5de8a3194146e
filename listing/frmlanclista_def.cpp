// The definition of the listing screen TfrmLancLista: what the user sees and
// what the handlers work on. Below the base form's report list (panRelat):
//   grbConta      account range (masked edits with the account picture set at
//                 creation, tree lookups BtnPesquisa1/2 on qryContCtbl)
//   grbData       date range (the company's entry period at creation)
//   grbValor      value range
//   grbHistorico  "Todos"/"Lista" of standard histories
//   grbDoc, grbLancto  document number, entry number
//   grbCliente, grbFornecedor, grbBanco  "Todos"/"Lista" of commercial codes
// Each "Lista" has a lookup button, disabled until "Lista" is checked; the
// list lookups run on the entry screen's queries.
#include "listing/frmlanclista.h"

#include "contracts/formbuild.h"
#include "contracts/zembra.h"
#include "platform/data/datetime.h"
#include "platform/data/format.h"

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

TGroupBox* group(TfrmLancLista* f, const char* name, const char* caption, int left, int top, int width, int height) {
    auto* g = Control<TGroupBox>(f, f->grbDadosRel, name);
    g->Caption = caption;
    g->Font.Bold = true;
    place(g, left, top, width, height);
    return g;
}

TLabel* label(TfrmLancLista* f, TWinControl* parent, const char* name, const char* caption, int left, int top) {
    auto* l = Control<TLabel>(f, parent, name);
    l->Caption = caption;
    l->Left = left;
    l->Top = top;
    return l;
}

TRadioButton* radio(TfrmLancLista* f, TWinControl* parent, const char* name, const char* caption, int left,
                    bool checked) {
    auto* r = Control<TRadioButton>(f, parent, name);
    r->Caption = caption;
    r->TabStop = true;
    place(r, left, 20, 60, 17);
    r->SetChecked(checked);
    return r;
}

TBtnPesquisa* listButton(TfrmLancLista* f, TWinControl* parent, const char* name, const char* emptyError, int left) {
    auto* b = Control<TBtnPesquisa>(f, parent, name);
    b->Hint = "Pesquisar";
    b->ShowHint = true;
    b->Enabled = false;
    b->EmptyError = emptyError;
    place(b, left, 16, 23, 22);
    return b;
}

TBtnPesquisa* accountTreeButton(TfrmLancLista* f, TWinControl* parent, const char* name, TMaskEdit* associate,
                                int left) {
    auto* b = Control<TBtnPesquisa>(f, parent, name);
    b->Hint = "Pesquisar";
    b->ShowHint = true;
    b->Associate = associate;
    b->PesqType = ptArvore;
    b->Title = "Conta Contábil";
    b->DataSource = f->dtsContCtbl;
    b->PictType = Zembra::ptContCtbl;
    b->FieldNivel = "CDNVCONTCTBL";
    b->FieldCodigo = "CDCONTCTBL";
    b->FieldNome = "NMCONTCTBL";
    b->EmptyError = "Não há conta contábil cadastrada.";
    place(b, left, 18, 23, 22);
    return b;
}

TMaskEdit* maskEdit(TfrmLancLista* f, TWinControl* parent, const char* name, const char* mask, int maxLength, int left,
                    int width) {
    auto* e = Control<TMaskEdit>(f, parent, name);
    e->TabStop = true;
    e->Color = clWindow;
    if (*mask) e->SetEditMask(mask);
    e->MaxLength = maxLength;
    place(e, left, 18, width, 21);
    return e;
}

TDateEditPlus* dateEdit(TfrmLancLista* f, TWinControl* parent, const char* name, int left) {
    auto* d = Control<TDateEditPlus>(f, parent, name);
    d->TabStop = true;
    d->Color = clWindow;
    d->ValidDateColor = clBlue;
    d->DayNames = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};
    d->SaveTime = false;
    place(d, left, 18, 90, 21);
    return d;
}

TNumberEdit* numberEdit(TfrmLancLista* f, TWinControl* parent, const char* name, int left) {
    auto* n = Control<TNumberEdit>(f, parent, name);
    n->TabStop = true;
    n->Color = clWindow;
    n->Decimals = 2;
    n->Currency = false;
    n->Thousands = false;
    place(n, left, 18, 100, 21);
    return n;
}

// How a report parameter reads in `expect`: dates dd/mm/yyyy, numbers with a
// decimal point, the rest as text.
std::string paramText(const Variant& v, bool date) {
    if (date) return DateToStr(v.AsFloat());
    if (v.kind() == Variant::Kind::Float) return FormatFloat("0.##########", v.AsFloat());
    return v.AsString();
}

}  // namespace

TfrmLancLista::TfrmLancLista(TComponent* owner) : TfrmDadosGerRel(owner), TPublishedMembers("TfrmLancLista") {
    Name = "frmLancLista";
    Caption = "Lançamento Contábil";
    lblCodTela->Caption = "CTB11020";
    lblCodRel->Caption = "CTB11020";
    HelpContext = 10611020;
    Width = 560;
    Height = 420;
    buildData();
    buildAccounts();
    buildValues();
    buildGroups();
    fillMessages();
    bindHandlers();
    publishMembers();
}

void TfrmLancLista::buildAccounts() {
    grbConta = group(this, "grbConta", "Conta Contábil", 8, 48, 530, 48);
    lblContIn = label(this, grbConta, "lblContIn", "de", 8, 22);
    medContCtblIn = maskEdit(this, grbConta, "medContCtblIn", "", 20, 28, 180);
    BtnPesquisa1 = accountTreeButton(this, grbConta, "BtnPesquisa1", medContCtblIn, 210);
    lblContFi = label(this, grbConta, "lblContFi", "até", 250, 22);
    medContCtblFi = maskEdit(this, grbConta, "medContCtblFi", "", 20, 276, 180);
    BtnPesquisa2 = accountTreeButton(this, grbConta, "BtnPesquisa2", medContCtblFi, 458);

    grbData = group(this, "grbData", "Data de Lançamento", 8, 100, 260, 48);
    lblDtIni = label(this, grbData, "lblDtIni", "de", 8, 22);
    depIni = dateEdit(this, grbData, "depIni", 28);
    lblDtFim = label(this, grbData, "lblDtFim", "até", 128, 22);
    depFim = dateEdit(this, grbData, "depFim", 154);
}

void TfrmLancLista::buildValues() {
    grbValor = group(this, "grbValor", "Valor", 278, 100, 260, 48);
    lblDe = label(this, grbValor, "lblDe", "de", 8, 22);
    edtValorIni = numberEdit(this, grbValor, "edtValorIni", 28);
    lblAte = label(this, grbValor, "lblAte", "até", 134, 22);
    edtValorFim = numberEdit(this, grbValor, "edtValorFim", 154);

    grbDoc = group(this, "grbDoc", "Documento", 8, 152, 260, 48);
    lblNumeDocu = label(this, grbDoc, "lblNumeDocu", "Número", 8, 22);
    medDoc = maskEdit(this, grbDoc, "medDoc", "99999999999999999999;0; ", 20, 60, 180);

    grbLancto = group(this, "grbLancto", "Lançamento", 278, 152, 260, 48);
    lblNumeLanc = label(this, grbLancto, "lblNumeLanc", "Número", 8, 22);
    medLanc = maskEdit(this, grbLancto, "medLanc", "999999999999;0; ", 12, 60, 120);
}

void TfrmLancLista::buildGroups() {
    grbHistorico = group(this, "grbHistorico", "Histórico Padrão", 8, 204, 260, 48);
    rbtTodos = radio(this, grbHistorico, "rbtTodos", "Todos", 8, true);
    rbtLista = radio(this, grbHistorico, "rbtLista", "Lista", 80, false);
    sbtHist = listButton(this, grbHistorico, "sbtHist", "Não há histórico padrão cadastrado.", 150);

    grbCliente = group(this, "grbCliente", "Cliente", 8, 256, 172, 48);
    rbtTClie = radio(this, grbCliente, "rbtTClie", "Todos", 6, true);
    rbtClie = radio(this, grbCliente, "rbtClie", "Lista", 70, false);
    sbtClie = listButton(this, grbCliente, "sbtClie", "Não há cliente cadastrado.", 138);
    grbFornecedor = group(this, "grbFornecedor", "Fornecedor", 187, 256, 172, 48);
    rbtTForn = radio(this, grbFornecedor, "rbtTForn", "Todos", 6, true);
    rbtForn = radio(this, grbFornecedor, "rbtForn", "Lista", 70, false);
    sbtForn = listButton(this, grbFornecedor, "sbtForn", "Não há fornecedor cadastrado.", 138);
    grbBanco = group(this, "grbBanco", "Banco", 366, 256, 172, 48);
    rbtTBanc = radio(this, grbBanco, "rbtTBanc", "Todos", 6, true);
    rbtBanc = radio(this, grbBanco, "rbtBanc", "Lista", 70, false);
    sbtBanc = listButton(this, grbBanco, "sbtBanc", "Não há banco cadastrado.", 138);

    int order = 0;
    for (TWinControl* c : std::initializer_list<TWinControl*>{panRelat, grbConta, grbData, grbValor, grbDoc, grbLancto,
                                                              grbHistorico, grbCliente, grbFornecedor, grbBanco})
        c->TabOrder = order++;
}

void TfrmLancLista::buildData() {
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
    qryContOp->SQL = {"SELECT DTINICLANC, DTFINALANC, IDCONTCOME", "FROM CONTOPECTBL",
                      "WHERE(CDEMPRESA = :P_CDEMPRESA)"};
    qryContOp->AddField("DTINICLANC", TFieldType::ftDateTime);
    qryContOp->AddField("DTFINALANC", TFieldType::ftDateTime);
    qryContOp->AddField("IDCONTCOME", TFieldType::ftString, 1);
}

void TfrmLancLista::fillMessages() {
    msgPadrao->SetLines({
        "Arq_Rel_Err|O arquivo contendo a definição do relatório de código '%s' não foi encontrado no "
        "diretório '%s'.",
        "NovoCaption|Título do relatório",
        "NovoPrompt|Informe o título do relatório:",
        "ContIni_Inf|Conta contábil inicial deve ser informada.",
        "ContFin_Inf|Conta contábil final deve ser informada.",
        "ContIni_ContFin|Conta contábil inicial deve ser menor ou igual a conta contábil final.",
        "DtIni_DtFin|Data de lançamento inicial deve menor ou igual a data de lançamento final.",
        "Hist|Histórico Padrão",
        "Clie|Cliente",
        "Forn|Fornecedor",
        "Banc|Banco",
        "Hist_Inf|Histórico padrão deve informado.",
        "Forn_Inf|Fornecedor deve ser informado.",
        "Clie_Inf|Cliente deve ser informado.",
        "Banc_Inf|Banco deve ser informado.",
        "Cont_Cad|Conta contábil não cadastrada.",
        "ContFim_Cad|Conta contábil final não cadastrada.",
        "DataFin_Inf|Data de lançamento final deve ser informada.",
        "DataIni_Inf|Data de lançamento inicial deve ser informada.",
    });
}

void TfrmLancLista::bindHandlers() {
    cbbReportNames->OnChange = [this](TObject* s) { cbbReportNamesChange(s); };
    rpddPadrao->BeforeGetQueryParams = [this](TComponent* s, TParams& p) { rpddPadraoBeforeGetQueryParams(s, p); };
    medContCtblIn->OnExit = [this](TObject* s) { medContCtblInExit(s); };
    medContCtblFi->OnExit = [this](TObject* s) { medContCtblFiExit(s); };
    BtnPesquisa1->OnBeforePesq = [this](TObject* s) { BtnPesquisa1BeforePesq(s); };
    BtnPesquisa2->OnBeforePesq = [this](TObject* s) { BtnPesquisa1BeforePesq(s); };
    BtnPesquisa1->OnAfterPesq = [this](TObject* s) { BtnPesquisa1AfterPesq(s); };
    BtnPesquisa2->OnAfterPesq = [this](TObject* s) { BtnPesquisa2AfterPesq(s); };
    depIni->OnExit = [this](TObject* s) { depIniExit(s); };
    depFim->OnExit = [this](TObject* s) { depFimExit(s); };
    rbtTodos->OnClick = rbtLista->OnClick = [this](TObject* s) { rbtTodosClick(s); };
    rbtTClie->OnClick = rbtClie->OnClick = [this](TObject* s) { rbtTClieClick(s); };
    rbtTForn->OnClick = rbtForn->OnClick = [this](TObject* s) { rbtTFornClick(s); };
    rbtTBanc->OnClick = rbtBanc->OnClick = [this](TObject* s) { rbtTBancClick(s); };
    sbtHist->OnClick = [this](TObject* s) { sbtHistClick(s); };
    sbtClie->OnClick = [this](TObject* s) { sbtClieClick(s); };
    sbtForn->OnClick = [this](TObject* s) { BtnPesquisa5Click(s); };
    sbtBanc->OnClick = [this](TObject* s) { sbtBancClick(s); };
}

// What `expect frmLancLista.MEMBER` reads: the four lists and the last run
// of the designer dialog (LastRun.Param.NAME is "(ausente)" for a parameter
// the report's query does not have).
void TfrmLancLista::publishMembers() {
    PublishText("stListaForn", &stListaForn);
    PublishText("stListaClie", &stListaClie);
    PublishText("stListaBanc", &stListaBanc);
    PublishText("stListaHist", &stListaHist);
    const TReportDesignerDialog* d = rpddPadrao;
    Publish("RunCount", [d] { return std::to_string(d->RunCount()); });
    Publish("LastRun.Report", [d] { return d->LastRun().Report; });
    Publish("LastRun.Action", [d] { return std::string(d->HasRun() ? ReportActionName(d->LastRun().Action) : ""); });
    Publish("LastRun.Title", [d] { return d->LastRun().Title; });
    Publish("LastRun.File", [d] { return d->LastRun().File; });
    Publish("LastRun.Pages", [d] { return std::to_string(d->LastRun().Pages); });
    Publish("LastRun.Rows", [d] { return std::to_string(d->LastRun().Rows); });
    Publish("LastRun.Params", [d] {
        std::string names;
        for (const auto& [n, v] : d->LastRun().Params) names += (names.empty() ? "" : ",") + n;
        return names;
    });
    for (const char* name : {"CDEMPRESA", "TODASCONTAS", "CDCONTCTBLI", "CDCONTCTBLF", "TODASDATAS", "DTLANCAMENTI",
                             "DTLANCAMENTF", "CDHISTPADR", "P_VALOR", "VALOR", "VALORF", "P_CDCONTCLIE", "P_CDCONTFORN",
                             "P_CDCONTBANC", "CDDOCUCONT", "NRLANCCONT", "P_NMEMPRESA"}) {
        const std::string n = name;
        const bool date = n == "DTLANCAMENTI" || n == "DTLANCAMENTF";
        Publish("LastRun.Param." + n, [d, n, date] {
            for (const auto& [k, v] : d->LastRun().Params)
                if (k == n) return paramText(v, date);
            return std::string("(ausente)");
        });
    }
}
