// TfrmLancFiltro (screen CTB11010, "Filtro de Lançamento Contábil"): the
// modal dialog of the criteria the entry screen loads its lines with. One
// instance per entry screen: created on first use, hidden (not freed) by its
// close so that it keeps its criteria, freed when the entry screen closes.
//
// The dialog builds no query: on confirmation it checks the criteria, picks
// one of four filter kinds and sends kind and raw criteria to the server's
// GetLancCont; the answer replaces frmLancamentos->cdsLancCont's data.
//
// It keeps two copies of the criteria: FiltroSalvo, restored on every
// showing, and the applied filter (the stFilt*/dtFilt*/vrFilt* members),
// which the entry screen reads to reload with the same criteria.
//
// Files: frmlancfiltro_def.cpp (components, captions, masks, message table,
// queries), lancfiltro_criteria.cpp (creation, showing, save/restore, filter
// kind, confirmation and request, cancellation), lancfiltro_fields.cpp
// (account fields, tree and list lookups, radio pairs, key handlers).
#pragma once

#include "contracts/buttons.h"
#include "contracts/frmrotgeral.h"
#include "ledger/criteria.h"
#include "contracts/published.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/datetime.h"
#include "platform/db/adoibquery.h"
#include "platform/ui/edits.h"

#include <string>

// One set of criteria fields. Each group of the dialog keeps its values in
// its own TDADOS, in the fields that belong to it; the others stay empty.
struct TDADOS {
    bool boHist = false;      // history: "Lista" chosen
    std::string stHist;       // history code list
    bool boClie = false;      // client: "Lista" chosen
    std::string stClie;       // client code list
    bool boForn = false;      // supplier: "Lista" chosen
    std::string stForn;       // supplier code list
    bool boBanc = false;      // bank: "Lista" chosen
    std::string stBanc;       // bank code list
    bool boFilial = false;    // branch: "Lista" chosen
    std::string stFilial;     // branch code list
    bool boCentCust = false;  // cost centre: "Lista" chosen
    std::string stCentCust;   // cost-centre code list
    std::string stContIni;    // initial account
    std::string stContFim;    // final account
    double vrIni = 0;         // initial value
    double vrFim = 0;         // final value
    std::string stDocu;       // document number
    std::string stNrLanc;     // entry number

    bool operator==(const TDADOS&) const = default;
};

// The saved criteria: one TDADOS per group, then the date range.
struct TFILTRO {
    TDADOS Hist;      // history
    TDADOS Clie;      // client
    TDADOS Forn;      // supplier
    TDADOS Banc;      // bank
    TDADOS Conta;     // account range
    TDADOS Valor;     // value range
    TDADOS DocLanc;   // document and entry number
    TDADOS Filial;    // branch
    TDADOS CentCust;  // cost centre
    TDateTime dtIni = 0;
    TDateTime dtFim = 0;

    bool operator==(const TFILTRO&) const = default;
};

// The four filter kinds the server understands.
using ledger::kAuxFiltro;
using ledger::kAuxFiltroGer;
using ledger::kFiltroValor;
using ledger::kFiltroValorGer;

// The filter kind rule. Value kinds need both values non-zero and, when the
// entry number counts (confirmation), an empty entry number; "...Ger" when a
// branch or cost-centre list is chosen.
std::string TipoFiltro(double vrIni, double vrFim, bool nrLancVazio, bool listaGerencial);

class TfrmLancFiltro : public TfrmRotiGeral, public TPublishedMembers {
public:
    explicit TfrmLancFiltro(TComponent* owner);
    ~TfrmLancFiltro() override;

    // ---- components (frmlancfiltro_def.cpp) ------------------------------
    TGroupBox* grbConta;
    TLabel* lblContIn;
    TMaskEdit* medContCtblIn;
    TLabel* lblContFi;
    TMaskEdit* medContCtblFi;
    TBtnPesquisa* BtnPesquisa1;
    TBtnPesquisa* BtnPesquisa2;
    TGroupBox* grbData;
    TLabel* lblDtIni;
    TDateEditPlus* depIni;
    TLabel* lblDtFim;
    TDateEditPlus* depFim;
    TGroupBox* grbValor;
    TLabel* lblValorIni;
    TNumberEdit* edtValorIni;
    TLabel* lblValorFim;
    TNumberEdit* edtValorFim;
    TGroupBox* grbHistorico;
    TRadioButton* rbtTodos;
    TRadioButton* rbtLista;
    TBtnPesquisa* sbtHist;
    TGroupBox* grbDoc;
    TLabel* lblDoc;
    TMaskEdit* medDoc;
    TGroupBox* GroupBox1;
    TLabel* lblLanc;
    TMaskEdit* medLanc;
    TGroupBox* grbCodComer;
    TGroupBox* grbCliente;
    TRadioButton* rbtTClie;
    TRadioButton* rbtClie;
    TBtnPesquisa* sbtClie;
    TGroupBox* grbFornecedor;
    TRadioButton* rbtTForn;
    TRadioButton* rbtForn;
    TBtnPesquisa* sbtForn;
    TGroupBox* grbBanco;
    TRadioButton* rbtTBanc;
    TRadioButton* rbtBanc;
    TBtnPesquisa* sbtBanc;
    TGroupBox* grbGerencial;
    TGroupBox* grbFilial;
    TRadioButton* rbtTFilial;
    TRadioButton* rbtLFilial;
    TBtnPesquisa* btnFilial;
    TGroupBox* grbCentCust;
    TRadioButton* rbtTCentCust;
    TRadioButton* rbtLCentCust;
    TBtnPesquisa* btnCentCust;
    TGroupBox* GroupBox2;
    TMaskEdit* medHistLanc;

    TADOIBQuery* qryContCtbl;
    TADOIBStringField* qryContCtblCDCONTCTBL;
    TADOIBStringField* qryContCtblNMCONTCTBL;
    TADOIBStringField* qryContCtblCDNVCONTCTBL;
    TDataSource* dtsContCtbl;
    TADOIBQuery* qryContOp;
    TClientDataSet* cdsData;
    TDateTimeField* cdsDataDTHOJE;

    // ---- working members -------------------------------------------------
    // The criteria as last saved by Atualiza_Filtro(false).
    TFILTRO FiltroSalvo;
    // Codes chosen with each group's list lookup ("_01__03_"); emptied when
    // either radio button of the group is clicked.
    std::string stListaHist, stListaForn, stListaClie, stListaBanc, stListaFilial, stListaCentCust;

    // ---- applied filter (read by the entry screen to reload) ---------------
    // One set of the 18 criteria of the request; the members below name its
    // parts as the screens know them. Empty/zero until the dialog has been
    // confirmed or cancelled once.
    ledger::TLancFiltro Aplicado;
    std::string& stTipoFiltro = Aplicado.TipoFiltro;  // [1] filter kind
    std::string& stFiltEmpresa = Aplicado.Empresa;    // [2] company when the filter was stored
    std::string& stFiltNrLanc = Aplicado.NrLanc;      // [3] entry number text
    std::string& stFiltContFimZ = Aplicado.ContFimZ;  // [4] final account padded with "Z" to 10
    std::string& stFiltHist = Aplicado.Hist;          // [5] history code list
    std::string& stFiltClie = Aplicado.Clie;          // [6] client code list
    std::string& stFiltForn = Aplicado.Forn;          // [7] supplier code list
    std::string& stFiltBanc = Aplicado.Banc;          // [8] bank code list
    std::string& stFiltDocu = Aplicado.Docu;          // [9] document text
    std::string& stFiltCentCust = Aplicado.CentCust;  // [10] cost-centre code list
    std::string& stFiltContIni = Aplicado.ContIni;    // [11] initial account
    std::string& stFiltContFim = Aplicado.ContFim;    // [12] final account as typed
    TDateTime& dtFiltIni = Aplicado.DtIni;            // [13] initial date
    TDateTime& dtFiltFim = Aplicado.DtFim;            // [14] final date
    double& vrFiltIni = Aplicado.VrIni;               // [15] initial value
    double& vrFiltFim = Aplicado.VrFim;               // [16] final value
    std::string& stFiltHistLanc = Aplicado.HistLanc;  // [17] history text
    std::string& stFiltFilial = Aplicado.Filial;      // [18] branch code list

    // ---- form handlers (lancfiltro_criteria.cpp) --------------------------
    void FormCreate(TObject* Sender) override;
    virtual void FormActivate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtConfirmaClick(TObject* Sender) override;
    void sbtCancelClick(TObject* Sender) override;
    // true: controls from FiltroSalvo; false: controls into FiltroSalvo and
    // fifteen members of the applied filter.
    void Atualiza_Filtro(bool restaura);

    // ---- field handlers (lancfiltro_fields.cpp) ----------------------------
    virtual void medContCtblInExit(TObject* Sender);
    virtual void medContCtblFiExit(TObject* Sender);
    virtual void BtnPesquisa1BeforePesq(TObject* Sender);
    virtual void BtnPesquisa1AfterPesq(TObject* Sender);
    virtual void BtnPesquisa2AfterPesq(TObject* Sender);
    virtual void depIniExit(TObject* Sender);
    virtual void depFimExit(TObject* Sender);
    virtual void edtValorIniExit(TObject* Sender);
    virtual void edtValorIniKeyPress(TObject* Sender, char& Key);
    virtual void medHistLancKeyPress(TObject* Sender, char& Key);
    virtual void rbtListaClick(TObject* Sender);
    virtual void rbtClieClick(TObject* Sender);
    virtual void rbtFornClick(TObject* Sender);
    virtual void rbtBancClick(TObject* Sender);
    virtual void rbtTFilialClick(TObject* Sender);
    virtual void rbtTCentCustClick(TObject* Sender);
    virtual void BtnPesquisa3Click(TObject* Sender);  // sbtHist
    virtual void BtnPesquisa4Click(TObject* Sender);  // sbtClie
    virtual void BtnPesquisa5Click(TObject* Sender);  // sbtForn
    virtual void BtnPesquisa6Click(TObject* Sender);  // sbtBanc
    virtual void btnFilialClick(TObject* Sender);
    virtual void btnCentCustClick(TObject* Sender);

    const char* ClassName() const override { return "TfrmLancFiltro"; }

private:
    // frmlancfiltro_def.cpp
    void buildCriteria();
    void buildGroups();
    void buildLists();
    void buildData();
    void fillMessages();
    void bindHandlers();
    void publishMembers();
    // lancfiltro_criteria.cpp
    void salvaFiltro();
    void restauraFiltro();
    void checaCriterios();
    void resetGruposPorEmpresa();
    std::string tipoFiltroAtual(bool comNrLanc) const;
    // lancfiltro_fields.cpp
    void validaConta(TMaskEdit* edit);
    void trocaLista(TRadioButton* lista, TControl* botao, std::string& stLista);
};

extern TfrmLancFiltro* frmLancFiltro;

// Creates the entry screen's filter dialog on first use and shows it modally.
void CriaLancFiltro();
