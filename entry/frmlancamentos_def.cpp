// The definition of the entry screen TfrmLancamentos (CTB11000): its
// components with their properties, the fields of its data sets, the columns
// of its grids, its two message tables, its nine lookup queries and the
// event bindings of the handlers that exist.
//
// What the pieces hold:
//  - cdsLancCont: the lines (partidas) of every loaded entry; an entry is the
//    lines with one CDEMPRESA + NRLANCCONT. Filled only from server packets.
//  - cdsLancContEspelho / cdsDebitoCredito: copies of those lines (the
//    snapshot the commit compares with; the base of the debit/credit totals).
//  - cdsLancCCusto: the cost-centre apportionment (rateio) of the entry on
//    the form page, filtered to the current line; cdsLancCCustoEspelho its
//    snapshot; cdsRateioEspelho the pattern of a mirrored apportionment.
//  - the qry* lookups read the suite database with the pair convention
//    :P_<column> / :P_T<column> ("T" = every row, empty = the row of the code).
#include "entry/frmlancamentos.h"

#include "contracts/formbuild.h"

#include <utility>
#include <vector>

using FormBuild::Component;
using FormBuild::Control;
using enum TFieldType;

namespace {

// One field of a line data set as the definition gives it.
struct TFieldDef {
    const char* name;
    TFieldType type;
    int size;
    const char* label;
    const char* mask;
    bool visible;
};

// cdsLancCont, in definition order.
const std::vector<TFieldDef>& LineFields() {
    static const std::vector<TFieldDef> defs = {
        {"CDFILLANC", ftString, 4, "Fil.Lanc", "", true},
        {"CDEMPRESA", ftString, 2, "Código", "", false},
        {"NRLANCCONT", ftString, 12, "Lançamento", "", true},
        {"NRSEQLANC", ftString, 5, "", "", false},
        {"CDHISTPADR", ftString, 4, "Hist", "9999;1; ", false},
        {"CDCONTCTBL", ftString, 20, "Conta Contábil", "", true},
        {"DTLANCCONT", ftDateTime, 0, "Dt. Lanc.", "", true},
        {"CDDOCUCONT", ftString, 20, "Documento", "", true},
        {"IDTIPOLANC", ftString, 1, "", "", false},
        {"DSHISTLANC", ftString, 600, "Histórico", "", true},
        {"VRLANCAMENT", ftFloat, 0, "Valor", "", true},
        {"IDLANCCOME", ftString, 1, "Id.", "", false},
        {"IDLANCSALDO", ftString, 1, "", "", false},
        {"IDLANCINTE", ftString, 1, "Tipo Lançamento", "", false},
        {"IDLANCMANI", ftString, 1, "", "", false},
        {"NMCONTCTBL", ftString, 40, "Nome da Conta", "", true},
        {"CDCONTREDU", ftString, 20, "Código Reduzido", "99999999999999999999;1; ", false},
        {"CDCONTCOME", ftString, 21, "Cód. Comerc.", "", false},
        {"IDCONTCCUS", ftString, 1, "", "", false},
        {"IDTIPOCOME", ftString, 1, "Id.", "", false},
        {"CDOPERINS", ftString, 12, "", "", false},
        {"DTULTATULAN", ftDateTime, 0, "", "", false},
        {"IDSALDLANCO", ftString, 1, "", "", false},
        {"IDSALDLANGE", ftString, 1, "", "", false},
        {"IDSISTEMA", ftString, 3, "Origem", "", true},
    };
    return defs;
}

const TFieldDef& LineField(const std::string& name) {
    for (const TFieldDef& d : LineFields())
        if (name == d.name) return d;
    throw EDatabaseError("Campo de partida desconhecido: " + name);
}

TField* AddDefined(TDataSet* ds, const TFieldDef& d) {
    TField* f = ds->AddField(d.name, d.type, d.size);
    f->DisplayLabel = d.label;
    f->EditMask = d.mask;
    f->Visible = d.visible;
    return f;
}

TField* AddField(TDataSet* ds, const char* name, TFieldType type, int size, const char* label, bool visible = true,
                 const char* mask = "") {
    return AddDefined(ds, TFieldDef{name, type, size, label, mask, visible});
}

TField* AddField(TADOIBQuery* q, const char* name, TFieldType type, int size, const char* label, bool visible = true) {
    TField* f = q->AddField(name, type, size);
    f->DisplayLabel = label;
    f->Visible = visible;
    return f;
}

TColumn* AddColumn(TDBGrid* grid, const char* field, int width, bool readOnly = false,
                   TColumnButtonStyle button = cbsAuto, const char* title = "") {
    TColumn* c = grid->Columns->Add();
    c->FieldName = field;
    if (width > 0) c->Width = width;
    c->ReadOnly = readOnly;
    c->ButtonStyle = button;
    c->Title.Caption = title;
    return c;
}

TDBGridOptions EditGridOptions(bool alwaysShowSelection) {
    TDBGridOptions o;
    o << dgEditing << dgTitles << dgColumnResize << dgColLines << dgRowLines << dgTabs << dgConfirmDelete
      << dgCancelOnExit;
    if (alwaysShowSelection) o << dgAlwaysShowSelection;
    return o;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, const char* name, const char* text, int left, int top) {
    auto* l = Control<TLabel>(owner, parent, name);
    l->Caption = text;
    l->Left = left;
    l->Top = top;
    return l;
}

void Place(TControl* c, int left, int top, int width, int height) {
    c->Left = left;
    c->Top = top;
    c->Width = width;
    c->Height = height;
}

const std::vector<std::string> kDayNames = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};

}  // namespace

// ---- company panel ------------------------------------------------------------

void TfrmLancamentos::defineCompanyPanel() {
    panEmpresa = Control<TPanel>(this, this, "panEmpresa", alTop);
    panEmpresa->Height = 41;
    panEmpresa->TabOrder = 0;
    pgcPadrao->TabOrder = 1;

    lblEmpresa = NewLabel(this, panEmpresa, "lblEmpresa", "Empresa", 8, 14);
    lblEmpresa->Font.Bold = true;

    edtCdEmpresa = Control<TEdit>(this, panEmpresa, "edtCdEmpresa");
    Place(edtCdEmpresa, 64, 10, 25, 21);
    edtCdEmpresa->MaxLength = 2;
    edtCdEmpresa->Color = clInfoBk;
    edtCdEmpresa->TabStop = true;
    edtCdEmpresa->TabOrder = 0;
    lblEmpresa->FocusControl = edtCdEmpresa;

    btnEmpresa = Control<TBtnPesquisa>(this, panEmpresa, "btnEmpresa");
    Place(btnEmpresa, 91, 10, 21, 21);
    btnEmpresa->Hint = "Pesquisar";
    btnEmpresa->ShowHint = true;
    btnEmpresa->Associate = edtCdEmpresa;
    btnEmpresa->Title = "Empresa";
    btnEmpresa->FieldCodigo = "CDEMPRESA";
    btnEmpresa->FieldNome = "NMEMPRESA";
    btnEmpresa->EmptyError = "Não há empresa cadastrada.";

    edtNmEmpresa = Control<TEdit>(this, panEmpresa, "edtNmEmpresa");
    Place(edtNmEmpresa, 115, 10, 350, 21);
    edtNmEmpresa->Enabled = false;
    edtNmEmpresa->Color = clBtnFace;
    edtNmEmpresa->TabOrder = 1;

    // 16 x 16 glyph of the long history texts; olive lets the cell through.
    imgEsp = Control<TImage>(this, panEmpresa, "imgEsp");
    Place(imgEsp, 1000, 12, 16, 16);
    imgEsp->Visible = false;
    imgEsp->Transparent = true;
    imgEsp->TransparentColor = clOlive;
}

// ---- form page --------------------------------------------------------------------

void TfrmLancamentos::defineFormPage() {
    tshFormulario->Enabled = false;
    pgcPadrao->SetActivePage(tshFormulario);  // design time; FormCreate starts on the browse page

    panDados = Control<TPanel>(this, panFormulario, "panDados", alTop);
    panDados->Height = 49;
    panDados->TabOrder = 0;
    scbFormulario->TabOrder = 1;

    lblNDoc = NewLabel(this, panDados, "lblNDoc", "Documento", 8, 4);
    edtNDoc = Control<TEdit>(this, panDados, "edtNDoc");
    Place(edtNDoc, 8, 20, 150, 21);
    edtNDoc->MaxLength = 20;
    edtNDoc->Color = clInfoBk;
    edtNDoc->TabStop = true;
    edtNDoc->TabOrder = 0;
    lblNDoc->FocusControl = edtNDoc;

    lblDtLancCont = NewLabel(this, panDados, "lblDtLancCont", "Data de Lançamento", 170, 4);
    depDtLancCont = Control<TDateEditPlus>(this, panDados, "depDtLancCont");
    Place(depDtLancCont, 170, 20, 100, 21);
    depDtLancCont->Color = clInfoBk;
    depDtLancCont->SaveTime = false;
    depDtLancCont->DayNames = kDayNames;
    depDtLancCont->ValidDateColor = clBlue;
    depDtLancCont->TabStop = true;
    depDtLancCont->TabOrder = 1;
    lblDtLancCont->FocusControl = depDtLancCont;

    lblCredito = NewLabel(this, panDados, "lblCredito", "Crédito", 300, 4);
    ndeCredito = Control<TNumberEdit>(this, panDados, "ndeCredito");
    Place(ndeCredito, 300, 20, 120, 21);
    lblDebito = NewLabel(this, panDados, "lblDebito", "Débito", 430, 4);
    ndeDebito = Control<TNumberEdit>(this, panDados, "ndeDebito");
    Place(ndeDebito, 430, 20, 120, 21);
    // The number of the entry shown, as the server gave it.
    lblNrLancCont = NewLabel(this, panDados, "lblNrLancCont", "Lançamento", 560, 4);
    edtNrLancCont = Control<TEdit>(this, panDados, "edtNrLancCont");
    Place(edtNrLancCont, 560, 20, 110, 21);
    edtNrLancCont->Enabled = false;
    edtNrLancCont->ReadOnly = true;
    for (TNumberEdit* n : {ndeCredito, ndeDebito}) {
        n->Enabled = false;
        n->Decimals = 2;
        n->NumberFormat = "#,##0.00";
        n->Currency = false;
        n->Thousands = false;
    }

    pnlLancCont = Control<TPanel>(this, scbFormulario, "pnlLancCont", alClient);
    pnlLancCont->TabOrder = 0;
    splLancCusto = Control<TSplitter>(this, scbFormulario, "splLancCusto", alBottom);
    splLancCusto->Height = 11;
    defineLineGrids();
    defineApportionmentPanel();
}

void TfrmLancamentos::defineLineGrids() {
    // Browse page: every loaded line.
    AddColumn(dbgPadrao, "NRLANCCONT", 87, true);
    AddColumn(dbgPadrao, "CDCONTCTBL", 92);
    AddColumn(dbgPadrao, "NMCONTCTBL", 149, true);
    AddColumn(dbgPadrao, "DTLANCCONT", 63, true);
    AddColumn(dbgPadrao, "VRLANCAMENT", 89, true);
    AddColumn(dbgPadrao, "CDDOCUCONT", 68);
    AddColumn(dbgPadrao, "DSHISTLANC", 166, true);
    AddColumn(dbgPadrao, "IDLANCCOME", 15, true);
    AddColumn(dbgPadrao, "CDCONTCOME", 71, true);
    AddColumn(dbgPadrao, "IDLANCINTE", 144, true);
    AddColumn(dbgPadrao, "IDSISTEMA", 180);
    AddColumn(dbgPadrao, "CDFILLANC", 50, false, cbsAuto, "Filial");

    // Form page: the lines of one entry.
    dbgLancCont = Control<TDBGrid>(this, pnlLancCont, "dbgLancCont", alClient);
    dbgLancCont->SetDataSource(dtsPadrao);
    dbgLancCont->Color = clInfoBk;
    dbgLancCont->Options = EditGridOptions(true);
    AddColumn(dbgLancCont, "CDCONTREDU", 85, false, cbsEllipsis);
    AddColumn(dbgLancCont, "CDCONTCTBL", 94, false, cbsEllipsis);
    AddColumn(dbgLancCont, "NMCONTCTBL", 208, true);
    AddColumn(dbgLancCont, "CDHISTPADR", 51, false, cbsEllipsis);
    AddColumn(dbgLancCont, "DSHISTLANC", 200);
    AddColumn(dbgLancCont, "VRLANCAMENT", 107);
    AddColumn(dbgLancCont, "IDLANCCOME", 0);
    AddColumn(dbgLancCont, "CDCONTCOME", 95, false, cbsEllipsis);
    AddColumn(dbgLancCont, "CDFILLANC", 54, false, cbsEllipsis, "Filial");
}

void TfrmLancamentos::defineApportionmentPanel() {
    pnlLancCCusto = Control<TPanel>(this, scbFormulario, "pnlLancCCusto", alBottom);
    pnlLancCCusto->Height = 126;
    pnlLancCCusto->Enabled = false;
    pnlLancCCusto->TabOrder = 1;

    pnlLancamentoGerencial = Control<TPanel>(this, pnlLancCCusto, "pnlLancamentoGerencial", alTop);
    pnlLancamentoGerencial->Height = 19;
    lblLancamentoGerencial =
        NewLabel(this, pnlLancamentoGerencial, "lblLancamentoGerencial", "Lançamentos Gerenciais", 8, 3);
    lblLancamentoGerencial->Font.Bold = true;

    dbgLancCCusto = Control<TDBGrid>(this, pnlLancCCusto, "dbgLancCCusto", alClient);
    dbgLancCCusto->Color = clInfoBk;
    dbgLancCCusto->Options = EditGridOptions(false);
    AddColumn(dbgLancCCusto, "CDFILIAL", 52, false, cbsEllipsis);
    AddColumn(dbgLancCCusto, "NMFILIAL", 0, true);
    AddColumn(dbgLancCCusto, "CDCENTCUST", 52, false, cbsEllipsis);
    AddColumn(dbgLancCCusto, "NMCENTCUST", 0, true);
    AddColumn(dbgLancCCusto, "DTCOMPCUSTO", 0);
    AddColumn(dbgLancCCusto, "VRLANCCUST", 104);
}

// ---- data sets -----------------------------------------------------------------------

void TfrmLancamentos::defineLineDataSets() {
    cdsLancCont = Component<TClientDataSet>(this, "cdsLancCont");
    TField** members[] = {
        &cdsLancContCDFILLANC,   &cdsLancContCDEMPRESA,   &cdsLancContNRLANCCONT,  &cdsLancContNRSEQLANC,
        &cdsLancContCDHISTPADR,  &cdsLancContCDCONTCTBL,  &cdsLancContDTLANCCONT,  &cdsLancContCDDOCUCONT,
        &cdsLancContIDTIPOLANC,  &cdsLancContDSHISTLANC,  &cdsLancContVRLANCAMENT, &cdsLancContIDLANCCOME,
        &cdsLancContIDLANCSALDO, &cdsLancContIDLANCINTE,  &cdsLancContIDLANCMANI,  &cdsLancContNMCONTCTBL,
        &cdsLancContCDCONTREDU,  &cdsLancContCDCONTCOME,  &cdsLancContIDCONTCCUS,  &cdsLancContIDTIPOCOME,
        &cdsLancContCDOPERINS,   &cdsLancContDTULTATULAN, &cdsLancContIDSALDLANCO, &cdsLancContIDSALDLANGE,
        &cdsLancContIDSISTEMA};
    std::size_t i = 0;
    for (const TFieldDef& d : LineFields()) *members[i++] = AddDefined(cdsLancCont, d);
    cdsLancContDSHISTLANC->DisplayWidth = 600;

    cdsLancContEspelho = Component<TClientDataSet>(this, "cdsLancContEspelho");
    for (const char* name :
         {"CDEMPRESA",  "NRLANCCONT",  "NRSEQLANC",   "CDHISTPADR", "CDCONTCTBL",  "DTLANCCONT", "CDDOCUCONT",
          "IDTIPOLANC", "DSHISTLANC",  "VRLANCAMENT", "IDLANCCOME", "IDLANCSALDO", "IDLANCINTE", "IDSISTEMA",
          "IDLANCMANI", "NMCONTCTBL",  "CDCONTREDU",  "CDFILLANC",  "CDCONTCOME",  "IDCONTCCUS", "IDTIPOCOME",
          "CDOPERINS",  "DTULTATULAN", "IDSALDLANCO", "IDSALDLANGE"})
        AddDefined(cdsLancContEspelho, LineField(name));
    TField* docu = cdsLancContEspelho->FieldByName("CDDOCUCONT");
    docu->Visible = false;
    docu->DisplayLabel.clear();
    cdsLancContEspelho->FieldByName("CDFILLANC")->DisplayLabel.clear();
    cdsLancContEspelho->FieldByName("DSHISTLANC")->DisplayWidth = 200;

    // The mirror without CDFILLANC and IDSISTEMA: packets that carry them
    // load all the same (fields the data set lacks are not exposed).
    cdsDebitoCredito = Component<TClientDataSet>(this, "cdsDebitoCredito");
    for (int k = 0; k < cdsLancContEspelho->FieldCount(); ++k) {
        const std::string name = cdsLancContEspelho->Fields(k)->FieldName();
        if (name == "CDFILLANC" || name == "IDSISTEMA") continue;
        TField* f = AddDefined(cdsDebitoCredito, LineField(name));
        f->Visible = cdsLancContEspelho->Fields(k)->Visible;
        f->DisplayLabel = cdsLancContEspelho->Fields(k)->DisplayLabel;
    }
    cdsDebitoCredito->FieldByName("DSHISTLANC")->DisplayWidth = 200;
}

void TfrmLancamentos::defineApportionmentDataSets() {
    cdsLancCCusto = Component<TClientDataSet>(this, "cdsLancCCusto");
    cdsLancCCustoCDEMPRESA = AddField(cdsLancCCusto, "CDEMPRESA", ftString, 2, "", false);
    cdsLancCCustoNRLANCCONT = AddField(cdsLancCCusto, "NRLANCCONT", ftString, 12, "", false);
    cdsLancCCustoNRSEQLANC = AddField(cdsLancCCusto, "NRSEQLANC", ftString, 5, "");
    cdsLancCCustoCDFILIAL = AddField(cdsLancCCusto, "CDFILIAL", ftString, 4, "Filial", true, "9999;1; ");
    cdsLancCCustoCDCENTCUST = AddField(cdsLancCCusto, "CDCENTCUST", ftString, 4, "C.Custo", true, "9999;1; ");
    cdsLancCCustoVRLANCCUST = AddField(cdsLancCCusto, "VRLANCCUST", ftFloat, 0, "Valor", false);
    cdsLancCCustoNMCENTCUST = AddField(cdsLancCCusto, "NMCENTCUST", ftString, 40, "Nome C.Custo");
    cdsLancCCustoNMFILIAL = AddField(cdsLancCCusto, "NMFILIAL", ftString, 30, "Nome Filial");
    cdsLancCCustoDTCOMPCUSTO =
        AddField(cdsLancCCusto, "DTCOMPCUSTO", ftDateTime, 0, "Competência", true, "!99/99/0000;1; ");
    for (int k = 0; k < cdsLancCCusto->FieldCount(); ++k)
        cdsLancCCusto->Fields(k)->Origin = "LANCCCUSTO." + cdsLancCCusto->Fields(k)->FieldName();

    cdsLancCCustoEspelho = Component<TClientDataSet>(this, "cdsLancCCustoEspelho");
    for (int k = 0; k < cdsLancCCusto->FieldCount(); ++k) {
        const TField* src = cdsLancCCusto->Fields(k);
        TField* f = cdsLancCCustoEspelho->AddField(src->FieldName(), src->DataType(), src->Size());
        f->DisplayLabel = src->DisplayLabel;
        f->Visible = src->Visible;
        f->EditMask = src->EditMask;
    }
    cdsLancCCustoEspelho->FieldByName("CDFILIAL")->DisplayLabel = "Código  Filial";
    cdsLancCCustoEspelho->FieldByName("CDCENTCUST")->DisplayLabel = "Código C.Custo";

    cdsRateioEspelho = Component<TClientDataSet>(this, "cdsRateioEspelho");
    AddField(cdsRateioEspelho, "CDEMPRESA", ftString, 2, "", false);
    AddField(cdsRateioEspelho, "NRLANCCONT", ftString, 12, "", false);
    AddField(cdsRateioEspelho, "CDFILIAL", ftString, 4, "Código  Filial", true, "9999;1; ");
    AddField(cdsRateioEspelho, "CDCENTCUST", ftString, 4, "Código C.Custo", true, "9999;1; ");
    AddField(cdsRateioEspelho, "NMCENTCUST", ftString, 40, "Nome C.Custo");
    AddField(cdsRateioEspelho, "NMFILIAL", ftString, 30, "Nome Filial");
    AddField(cdsRateioEspelho, "DTCOMPCUSTO", ftDateTime, 0, "Competência", true, "!99/99/0000;1; ");
    AddField(cdsRateioEspelho, "FATOR", ftFloat, 0, "");
    cdsRateioEspelho->CreateDataSet();

    cdsMapaApurac = Component<TClientDataSet>(this, "cdsMapaApurac");
    AddField(cdsMapaApurac, "MES", ftString, 9, "");
    AddField(cdsMapaApurac, "ANO", ftString, 4, "");
    AddField(cdsMapaApurac, "IMPOSTO", ftString, 6, "");
}

void TfrmLancamentos::defineDataSources() {
    dtsPadrao->SetDataSet(cdsLancCont);
    dtsLancCCusto = Component<TDataSource>(this, "dtsLancCCusto");
    dtsLancCCusto->SetDataSet(cdsLancCCusto);
    dbgLancCCusto->SetDataSource(dtsLancCCusto);
    dbtNome->DataField = "DSHISTLANC";

    const std::pair<TDataSource**, std::pair<const char*, TADOIBQuery*>> lookups[] = {
        {&dtsEmpresa, {"dtsEmpresa", qryEmpresa}},
        {&dtsHistPadr, {"dtsHistPadr", qryHistPadr}},
        {&dtsCliente, {"dtsCliente", qryCliente}},
        {&dtsBanco, {"dtsBanco", qryBanco}},
        {&dtsFornecedor, {"dtsFornecedor", qryFornecedor}},
        {&dtsCentCust, {"dtsCentCust", qryCentCust}},
        {&dtsFilial, {"dtsFilial", qryFilial}},
        {&dtsContCtbl, {"dtsContCtbl", qryContCtbl}}};
    for (const auto& [member, def] : lookups) {
        *member = Component<TDataSource>(this, def.first);
        (*member)->SetDataSet(def.second->Query());
    }
    btnEmpresa->DataSource = dtsEmpresa;
}

// ---- lookup queries ----------------------------------------------------------------------

void TfrmLancamentos::defineLookupQueries() {
    qryEmpresa = Component<TADOIBQuery>(this, "qryEmpresa");
    qryEmpresa->SQL = {"SELECT CDEMPRESA, NMEMPRESA", "FROM EMPRESA",
                       "WHERE ((CDEMPRESA = :P_CDEMPRESA) OR (:P_TCDEMPRESA = 'T'))", "ORDER BY CDEMPRESA", " "};
    AddField(qryEmpresa, "CDEMPRESA", ftString, 2, "Código");
    AddField(qryEmpresa, "NMEMPRESA", ftString, 40, "Nome");

    qryContOpeCtbl = Component<TADOIBQuery>(this, "qryContOpeCtbl");
    qryContOpeCtbl->SQL = {"SELECT CDEMPRESA, DTINICLANC, DTFINALANC,",
                           "       DTINICRELA, DTFINARELA, DTINICCONT,",
                           "       DTFINACONT, IDSALDEMPR, IDCONTGERE,",
                           "       IDCONTCOME, IDSUGRAT, IDMSMCONTADBCR",
                           "FROM CONTOPECTBL",
                           "WHERE (CDEMPRESA = :P_CDEMPRESA OR :P_TCDEMPRESA = 'T')",
                           "ORDER BY CDEMPRESA"};
    AddField(qryContOpeCtbl, "CDEMPRESA", ftString, 2, "");
    for (const char* d : {"DTINICLANC", "DTFINALANC", "DTINICRELA", "DTFINARELA", "DTINICCONT", "DTFINACONT"})
        AddField(qryContOpeCtbl, d, ftDateTime, 0, "");
    for (const char* s : {"IDSALDEMPR", "IDCONTGERE", "IDCONTCOME", "IDSUGRAT"})
        AddField(qryContOpeCtbl, s, ftString, 1, "");
    AddField(qryContOpeCtbl, "IDMSMCONTADBCR", ftString, 1, "", false);

    qryHistPadr = Component<TADOIBQuery>(this, "qryHistPadr");
    qryHistPadr->SQL = {"SELECT CDHISTPADR, DSHISTPADR", "FROM HISTPADR",
                        "WHERE (CDHISTPADR = :P_CDHISTPADR OR :P_TCDHISTPADR = 'T')", "ORDER BY CDHISTPADR"};
    AddField(qryHistPadr, "CDHISTPADR", ftString, 4, "Código");
    AddField(qryHistPadr, "DSHISTPADR", ftString, 60, "Nome");

    qryCliente = Component<TADOIBQuery>(this, "qryCliente");
    qryCliente->SQL = {"SELECT CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE", "FROM CLIENTE",
                       "WHERE (CDCLIENTE = :P_CDCLIENTE OR :P_TCDCLIENTE = 'T')", "ORDER BY CDCLIENTE"};
    AddField(qryCliente, "NRINSJURCLIE", ftString, 20, "Inscrição");
    AddField(qryCliente, "CDCLIENTE", ftString, 21, "", false);
    AddField(qryCliente, "NMRAZSOCCLIE", ftString, 50, "Razão Social");
    AddField(qryCliente, "IDTPIJURCLIE", ftString, 1, "", false);

    qryFornecedor = Component<TADOIBQuery>(this, "qryFornecedor");
    qryFornecedor->SQL = {"SELECT CDFORNECED, NRINSJURFORN, NMRAZSOCFORN, IDTPIJURFORN", "FROM FORNECEDOR",
                          "WHERE (CDFORNECED = :P_CDFORNECED OR :P_TCDFORNECED = 'T')", "ORDER BY CDFORNECED"};
    AddField(qryFornecedor, "NRINSJURFORN", ftString, 20, "Inscrição");
    AddField(qryFornecedor, "CDFORNECED", ftString, 21, "", false);
    AddField(qryFornecedor, "NMRAZSOCFORN", ftString, 40, "Razão Social");
    AddField(qryFornecedor, "IDTPIJURFORN", ftString, 1, "", false);

    qryBanco = Component<TADOIBQuery>(this, "qryBanco");
    qryBanco->SQL = {"SELECT CONTCORR.CDBANCO,",
                     "       CONTCORR.CDAGENCIA,",
                     "       CONTCORR.CDCONTCORR,",
                     "       CONTCORR.DSCONTCORR,",
                     "       CONTCORR.CDREDUCONT,",
                     "       BANCO.NMBANCO",
                     "FROM CONTCORR, BANCO",
                     "WHERE (CONTCORR.CDREDUCONT = :P_CDREDUCONT OR :P_TCDREDUCONT = 'T') AND",
                     "   (CONTCORR.CDBANCO = BANCO.CDBANCO)",
                     "ORDER BY CONTCORR.CDBANCO, CONTCORR.CDAGENCIA, CONTCORR.CDCONTCORR"};
    AddField(qryBanco, "CDREDUCONT", ftString, 3, "Cód. Red.");
    AddField(qryBanco, "NMBANCO", ftString, 30, "Banco");
    AddField(qryBanco, "CDAGENCIA", ftString, 5, "Agência");
    AddField(qryBanco, "CDCONTCORR", ftString, 10, "Conta");
    AddField(qryBanco, "CDBANCO", ftString, 3, "Cód. Banco");
    AddField(qryBanco, "DSCONTCORR", ftString, 20, "", false);

    qryFilial = Component<TADOIBQuery>(this, "qryFilial");
    qryFilial->SQL = {"SELECT CDFILIAL, NMFILIAL", "FROM FILIAL",
                      "WHERE (CDFILIAL = :P_CDFILIAL OR :P_TCDFILIAL = 'T')", "ORDER BY CDFILIAL"};
    AddField(qryFilial, "CDFILIAL", ftString, 4, "Código");
    AddField(qryFilial, "NMFILIAL", ftString, 30, "Nome");

    qryCentCust = Component<TADOIBQuery>(this, "qryCentCust");
    qryCentCust->SQL = {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST",
                        "  FROM CENTCUST C, CENTCUSTFIL CF",
                        " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')",
                        "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
                        "   AND ((INSTR(:P_CDFILIAL, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))",
                        " ORDER BY CDCENTCUST"};
    qryCentCust->SQL_MSSQL = {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST",
                              "  FROM CENTCUST C, CENTCUSTFIL CF",
                              " WHERE (C.CDCENTCUST = :P_CDCENTCUST OR :P_TCDCENTCUST = 'T')",
                              "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
                              "   AND ((CHARINDEX('_' + CF.CDFILIAL + '_', :P_CDFILIAL) > 0) or  (:P_TCDFILIAL = 'T'))",
                              " ORDER BY C.CDCENTCUST"};
    qryCentCust->SQL_IB = {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST",
                           "  FROM CENTCUST C, CENTCUSTFIL CF ,",
                           "      PARAM (:P_CDFILIAL) P_CDFILIAL",
                           " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')",
                           "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
                           "   AND ((INSTR(P_CDFILIAL.PARAM, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))",
                           " ORDER BY CDCENTCUST"};
    // SQLite refuses the bare CDCENTCUST of the default ORDER BY as ambiguous
    // (both tables have it); only that line differs.
    qryCentCust->SQL_SQLITE = {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST",
                               "  FROM CENTCUST C, CENTCUSTFIL CF",
                               " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')",
                               "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
                               "   AND ((INSTR(:P_CDFILIAL, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))",
                               " ORDER BY C.CDCENTCUST"};
    // PostgreSQL has no INSTR; STRPOS takes its arguments the same way round.
    qryCentCust->SQL_PG = {"SELECT DISTINCT C.CDCENTCUST, C.NMCENTCUST",
                           "  FROM CENTCUST C, CENTCUSTFIL CF",
                           " WHERE ((C.CDCENTCUST = :P_CDCENTCUST) OR :P_TCDCENTCUST = 'T')",
                           "   AND (C.CDCENTCUST = CF.CDCENTCUST)",
                           "   AND ((STRPOS(:P_CDFILIAL, '_' || CF.CDFILIAL || '_') > 0) or  (:P_TCDFILIAL = 'T'))",
                           " ORDER BY CDCENTCUST"};
    AddField(qryCentCust, "CDCENTCUST", ftString, 4, "Código");
    AddField(qryCentCust, "NMCENTCUST", ftString, 40, "Nome");

    qryContCtbl = Component<TADOIBQuery>(this, "qryContCtbl");
    qryContCtbl->SQL = {"SELECT CDCONTCTBL,   CDCONTREDU,",
                        "       NMCONTCTBL,   CDRATEIO,",
                        "       CDNVCONTCTBL, IDTIPOCONT,",
                        "       IDCONTCCUS,   IDTIPOCOME",
                        "FROM CONTCTBL",
                        "WHERE",
                        "     (CDCONTCTBL = :P_CDCONTCTBL OR :P_TCDCONTCTBL = 'T') AND",
                        "     (CDCONTREDU = :P_CDCONTREDU OR :P_TCDCONTREDU = 'T') AND",
                        "     (IDTIPOCONT = 'A')",
                        "ORDER BY CDCONTCTBL,",
                        "         CDNVCONTCTBL"};
    AddField(qryContCtbl, "CDCONTREDU", ftString, 20, "Cód. Reduzido");
    qryContCtblCDCONTCTBL = AddField(qryContCtbl, "CDCONTCTBL", ftString, 20, "Código");
    AddField(qryContCtbl, "CDRATEIO", ftString, 3, "", false);
    AddField(qryContCtbl, "NMCONTCTBL", ftString, 40, "Nome");
    AddField(qryContCtbl, "CDNVCONTCTBL", ftString, 1, "", false);
    AddField(qryContCtbl, "IDTIPOCONT", ftString, 1, "", false);
    AddField(qryContCtbl, "IDCONTCCUS", ftString, 1, "", false);
    AddField(qryContCtbl, "IDTIPOCOME", ftString, 1, "", false);
}

// ---- message tables -------------------------------------------------------------------------

void TfrmLancamentos::defineMessages() {
    msgPadrao->SetLines({
        "M|Manual",
        "L|Lote",
        "T|Transferência",
        "EMP_N|Empresa não cadastrada.",
        "EMP_DEV|Empresa deve ser informada.",
        "DOCU_DEV|Documento deve ser informado.",
        "DTLANC_DEV|Data do lançamento contábil deve ser informada.",
        "I|Integração",
        "RAT_DEV|Rateio deve ser informado para contas gerenciais.",
        "SOMA_RAT|Soma dos rateios difere do valor da partida.",
        "CODREDU_N|Código reduzido não cadastrado.",
        "CONT_N|Conta contábil não cadastrada.",
        "HIST_N|Histórico padrão não cadatrado.",
        "FIL_N|Filial não cadastrada.",
        "FIL_DEV|Filial deve ser informada.",
        "CENTROCUSTO|Centro de Custo",
        "CCUSTO_N|Centro de custo não cadastrado.",
        "PARTIDA_Z|Valor da partida deve ser diferente de zero.",
        "CONT_DEV|Conta contábil deve ser informada.",
        "HIST_DEV|Histórico Padrão deve ser informado.",
        "TOT_DIF|Total de débito difere do total de crédito.",
        "PER_DEV|Favor informar o período de filtro dos lançamentos.",
        "DTCOMP_DEV|Data de competência deve ser informada.",
        "DES_EXC|Deseja excluir o lançamento contábil?",
        "DES_RAT|Deseja espelhar o rateio de acordo com o primeiro lançamento gerencial?",
        "NEXIS_RAT|Lançamento contábil não possui lançamentos gerenciais. Favor informar o primeiro manualmente.",
        "CANC_LANC|Deseja cancelar o lançamento contábil?",
        "CENTCUST_NFIL|Centro de custo não cadastrado para filial informada.",
        "CTBL|Conta Contábil",
        "Historico|Histórico Padrão",
        "Forn|Fornecedor",
        "Fornecedor_Cad|Fornecedor não cadastrado.",
        "ContCor|Conta Corrente",
        "ContaCorr_Cad|Conta Corrente não cadastrada.",
        "Client|Cliente",
        "Cliente_Cad|Cliente não cadastrado.",
        "CodComer_Inv|Código comercial inválido.",
        "CodComer_Inf|Código comercial deve ser informado.",
        "CENTCUST_DEV|Centro de custo deve ser informado.",
        "VRRAT_DEV|Valor de rateio deve ser diferente de zero.",
        "FILIAL|Filial",
        "DATA_DEV|Data do lançamento contábil deve ser informada.",
        "RATJA_INF|Rateio para filial e centro de custo já informado.",
        "PERIODO_FORA|Data de lançamento fora do período contábil.",
        "DATALANC_FORA|Data de lançamento fora do período de lançamento contábil.",
        "Clie|Cliente",
        "Banc|Banco",
        "Banc_Cad|Banco não cadastrado.",
        "Hist|Histórico Padrão",
        "Hist_NCad|Histórico não cadastrado.",
        "FILIAL_NRELAC|Final informada não está relacionada à empresa do lançamento contábil.",
        "S|Encerramento Societário",
        "F|Encerramento Fiscal",
        "LANC_LOTE|Operação não permitida devido o lançamento ser de lote. Para realizar alguma "
        "operação, favor acessar a tela Manutenção De Lote e realizar a manutenção no lote %s.",
        "DBCR_MSMCONTA|Não é possível, no mesmo lançamento, terem partidas de débito e crédito "
        "para a mesma conta.",
        "MAPA_APUR|Operação não permitida ! O Lançamento está relacionado ao mapa de apuração %s.",
    });
    // The base form's table already holds Excl and Canc.
    msgMensagensPadroes->Add("CENTCUST_NFIL", "Centro de custo não cadastrado para filial informada.");
}

// ---- application server ------------------------------------------------------------------------

void TfrmLancamentos::defineConnection() {
    NetLancamentos = Component<TNetConnection>(this, "NetLancamentos");
    NetLancamentos->ServerName = "CTB11000.rdmLancamentos";
    NetLancamentos->ThrowException = false;
}

// ---- event bindings -------------------------------------------------------------------------------

void TfrmLancamentos::bindHandlers() {
    OnShow = [this](TObject* s) { FormShow(s); };
    NetLancamentos->BeforeConnect = [this](TComponent* s) { NetLancamentosBeforeConnect(s); };
    spbFiltro->OnClick = [this](TObject* s) { spbFiltroClick(s); };

    panEmpresa->OnExit = [this](TObject* s) { panEmpresaExit(s); };
    edtCdEmpresa->OnChange = [this](TObject* s) { edtCdEmpresaChange(s); };
    edtCdEmpresa->OnEnter = [this](TObject* s) { edtCdEmpresaEnter(s); };
    edtCdEmpresa->OnExit = [this](TObject* s) { edtCdEmpresaExit(s); };
    btnEmpresa->OnBeforePesq = [this](TObject* s) { btnEmpresaBeforePesq(s); };
    btnEmpresa->OnAfterPesq = [this](TObject* s) { btnEmpresaAfterPesq(s); };

    tshFolhaDados->OnEnter = [this](TObject* s) { tshFolhaDadosEnter(s); };
    panDbgPadrao->OnEnter = [this](TObject* s) { panDbgPadraoEnter(s); };
    dbgPadrao->OnEnter = [this](TObject* s) { dbgPadraoEnter(s); };
    tshFormulario->OnEnter = [this](TObject* s) { tshFormularioEnter(s); };

    cdsLancCont->BeforeScroll = [this](TDataSet* d) { cdsLancContBeforeScroll(d); };
    cdsLancCont->AfterScroll = [this](TDataSet* d) { cdsLancContAfterScroll(d); };

    auto inte = [this](TField* f, std::string& t, bool d) { cdsLancContIDLANCINTEGetText(f, t, d); };
    auto sist = [this](TField* f, std::string& t, bool d) { cdsLancContIDSISTEMAGetText(f, t, d); };
    cdsLancContIDLANCINTE->OnGetText = inte;
    cdsLancContIDSISTEMA->OnGetText = sist;
    cdsLancContEspelho->FieldByName("IDLANCINTE")->OnGetText = inte;
    cdsLancContEspelho->FieldByName("IDSISTEMA")->OnGetText = sist;

    // Entry lines (lancamentos_lines.cpp) and their display (lancamentos_totals.cpp).
    cdsLancCont->BeforeInsert = [this](TDataSet* d) { cdsLancContBeforeInsert(d); };
    cdsLancCont->AfterInsert = [this](TDataSet* d) { cdsLancContAfterInsert(d); };
    cdsLancCont->BeforeEdit = [this](TDataSet* d) { cdsLancContBeforeEdit(d); };
    cdsLancCont->AfterEdit = [this](TDataSet* d) { cdsLancContAfterEdit(d); };
    cdsLancCont->BeforePost = [this](TDataSet* d) { cdsLancContBeforePost(d); };
    cdsLancCont->AfterPost = [this](TDataSet* d) { cdsLancContAfterPost(d); };
    cdsLancCont->BeforeDelete = [this](TDataSet* d) { cdsLancContBeforeDelete(d); };
    cdsLancCont->AfterDelete = [this](TDataSet* d) { cdsLancContAfterDelete(d); };
    cdsLancCont->BeforeCancel = [this](TDataSet* d) { cdsLancContBeforeCancel(d); };
    cdsLancCont->AfterCancel = [this](TDataSet* d) { cdsLancContAfterCancel(d); };
    depDtLancCont->OnExit = [this](TObject* s) { depDtLancContExit(s); };
    edtNDoc->OnExit = [this](TObject* s) { edtNDocExit(s); };
    edtNDoc->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { edtNDocKeyDown(s, k, sh); };
    panDados->OnExit = [this](TObject* s) { panDadosExit(s); };
    auto valor = [this](TField* f, std::string& t, bool d) { cdsLancContVRLANCAMENTGetText(f, t, d); };
    cdsLancContVRLANCAMENT->OnGetText = valor;
    cdsLancContEspelho->FieldByName("VRLANCAMENT")->OnGetText = valor;
    cdsDebitoCredito->FieldByName("VRLANCAMENT")->OnGetText = valor;
    dbgLancCont->OnDrawColumnCell = [this](TObject* s, const TRect& r, int c, TColumn* col, TGridDrawState st) {
        dbgLancContDrawColumnCell(s, r, c, col, st);
    };

    // Apportionment lines (lancamentos_rateio.cpp).
    pnlLancCCusto->OnEnter = [this](TObject* s) { pnlLancCCustoEnter(s); };
    pnlLancCCusto->OnExit = [this](TObject* s) { pnlLancCCustoExit(s); };
    cdsLancCCusto->BeforeInsert = [this](TDataSet* d) { cdsLancCCustoBeforeInsert(d); };
    cdsLancCCusto->AfterInsert = [this](TDataSet* d) { cdsLancCCustoAfterInsert(d); };
    cdsLancCCusto->BeforeEdit = [this](TDataSet* d) { cdsLancCCustoBeforeEdit(d); };
    cdsLancCCusto->BeforePost = [this](TDataSet* d) { cdsLancCCustoBeforePost(d); };
    cdsLancCCusto->AfterPost = [this](TDataSet* d) { cdsLancCCustoAfterPost(d); };
    cdsLancCCusto->BeforeDelete = [this](TDataSet* d) { cdsLancCCustoBeforeDelete(d); };
    cdsLancCCusto->AfterDelete = [this](TDataSet* d) { cdsLancCCustoAfterDelete(d); };
    auto parte = [this](TField* f, std::string& t, bool d) { cdsLancCCustoVRLANCCUSTGetText(f, t, d); };
    cdsLancCCustoVRLANCCUST->OnGetText = parte;
    cdsLancCCustoEspelho->FieldByName("VRLANCCUST")->OnGetText = parte;
    dbgLancCCusto->OnColEnter = [this](TObject* s) { dbgLancCCustoColEnter(s); };
    dbgLancCCusto->OnColExit = [this](TObject* s) { dbgLancCCustoColExit(s); };
    dbgLancCCusto->OnEditButtonClick = [this](TObject* s) { dbgLancCCustoEditButtonClick(s); };
    dbgLancCCusto->OnExit = [this](TObject* s) { dbgLancCCustoExit(s); };
    dtsLancCCusto->OnStateChange = [this](TDataSource* s) { dtsLancCCustoStateChange(s); };

    // Closing with unsent changes (lancamentos_commit.cpp).
    OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };

    // Line code lookups and column checks (lancamentos_lookups.cpp).
    dbgLancCont->OnColExit = [this](TObject* s) { dbgLancContColExit(s); };
    dbgLancCont->OnEditButtonClick = [this](TObject* s) { dbgLancContEditButtonClick(s); };
    dbgLancCont->OnKeyDown = [this](TObject* s, WORD& k, TShiftState sh) { dbgLancContKeyDown(s, k, sh); };
    dbgLancCont->OnKeyPress = [this](TObject* s, char& k) { dbgLancContKeyPress(s, k); };
    dbgLancCont->OnDblClick = [this](TObject* s) { dbgLancContDblClick(s); };
    cdsLancContCDCONTCTBL->OnChange = [this](TField* f) { cdsLancContCDCONTCTBLChange(f); };
    cdsLancContCDHISTPADR->OnChange = [this](TField* f) { cdsLancContCDHISTPADRChange(f); };
    qryFornecedor->FieldByName("NRINSJURFORN")->OnGetText = [this](TField* f, std::string& t, bool d) {
        qryFornecedorNRINSJURFORNGetText(f, t, d);
    };
    qryCliente->FieldByName("NRINSJURCLIE")->OnGetText = [this](TField* f, std::string& t, bool d) {
        qryClienteNRINSJURCLIEGetText(f, t, d);
    };
}
