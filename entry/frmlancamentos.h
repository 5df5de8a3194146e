// TfrmLancamentos (screen CTB11000, "Lançamento Contábil"): the maintenance
// screen of one company's journal entries, an MDI child of the host's main
// window.
//
// The company is chosen in panEmpresa; its accounting parameters
// (qryContOpeCtbl) decide the period rules, the apportionment panel and the
// commercial-code columns. The lines of the loaded entries live in
// cdsLancCont (browse page: every loaded line; form page: filtered to one
// entry); the entry's cost-centre apportionment lives in cdsLancCCusto. All
// entry data comes from and goes to the application server through
// NetLancamentos; reference data comes from the suite database through the
// nine read-only lookup queries.
//
// Every component of the screen definition is a public member with its
// definition name, so the filter dialog, the listing and the history dialog
// (which reach into this screen) and the front ends find them. The working
// members shared by the handlers follow, then the handlers.
//
// Handlers are bound once, by the screen definition (frmlancamentos_def.cpp).
#pragma once

#include "contracts/buttons.h"
#include "contracts/frmpadrao.h"
#include "contracts/netconnection.h"
#include "ledger/rules.h"
#include "contracts/published.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/db/adoibquery.h"
#include "platform/ui/edits.h"
#include "platform/ui/grid.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a history cell of dbgLancCont shows: the first 33 characters of the
// text, and the glyph of imgEsp when the text is longer (the double click on
// the column opens it whole).
struct TCelulaHistorico {
    std::string Texto;
    bool Glifo = false;
};
TCelulaHistorico CelulaHistorico(const std::string& historico);

// Display text of a line value: empty for null; the signed amount while the
// browse grid's editor is open; otherwise the unsigned amount with " CR"
// (credit, positive) or " DB" (debit, negative), empty when it rounds to 0.
std::string TextoValorLancamento(const Variant& valor, bool editando);

class TfrmLancamentos : public TfrmPadrao, public TPublishedMembers {
public:
    explicit TfrmLancamentos(TComponent* owner);
    ~TfrmLancamentos() override;

    // ---- command bar ------------------------------------------------------
    TButtonFlat* spbFiltro;

    // ---- company panel ------------------------------------------------------
    TPanel* panEmpresa;
    TLabel* lblEmpresa;
    TEdit* edtCdEmpresa;
    TBtnPesquisa* btnEmpresa;
    TEdit* edtNmEmpresa;

    // ---- form page: header, lines and apportionment ---------------------------
    TPanel* panDados;
    TLabel* lblNDoc;
    TEdit* edtNDoc;
    TLabel* lblDtLancCont;
    TDateEditPlus* depDtLancCont;
    TLabel* lblCredito;
    TNumberEdit* ndeCredito;
    TLabel* lblDebito;
    TNumberEdit* ndeDebito;
    TLabel* lblNrLancCont;
    TEdit* edtNrLancCont;
    TPanel* pnlLancCont;
    TDBGrid* dbgLancCont;
    TSplitter* splLancCusto;
    TPanel* pnlLancCCusto;
    TPanel* pnlLancamentoGerencial;
    TLabel* lblLancamentoGerencial;
    TDBGrid* dbgLancCCusto;
    // Glyph of the long history texts (hidden; drawn by the lines grid).
    TImage* imgEsp;

    // ---- application server ---------------------------------------------------
    TNetConnection* NetLancamentos;

    // ---- entry lines --------------------------------------------------------
    TClientDataSet* cdsLancCont;
    TStringField* cdsLancContCDFILLANC;
    TStringField* cdsLancContCDEMPRESA;
    TStringField* cdsLancContNRLANCCONT;
    TStringField* cdsLancContNRSEQLANC;
    TStringField* cdsLancContCDHISTPADR;
    TStringField* cdsLancContCDCONTCTBL;
    TDateTimeField* cdsLancContDTLANCCONT;
    TStringField* cdsLancContCDDOCUCONT;
    TStringField* cdsLancContIDTIPOLANC;
    TStringField* cdsLancContDSHISTLANC;
    TFloatField* cdsLancContVRLANCAMENT;
    TStringField* cdsLancContIDLANCCOME;
    TStringField* cdsLancContIDLANCSALDO;
    TStringField* cdsLancContIDLANCINTE;
    TStringField* cdsLancContIDLANCMANI;
    TStringField* cdsLancContNMCONTCTBL;
    TStringField* cdsLancContCDCONTREDU;
    TStringField* cdsLancContCDCONTCOME;
    TStringField* cdsLancContIDCONTCCUS;
    TStringField* cdsLancContIDTIPOCOME;
    TStringField* cdsLancContCDOPERINS;
    TDateTimeField* cdsLancContDTULTATULAN;
    TStringField* cdsLancContIDSALDLANCO;
    TStringField* cdsLancContIDSALDLANGE;
    TStringField* cdsLancContIDSISTEMA;

    // Snapshot of the lines as loaded (commit and apportionment compare with it).
    TClientDataSet* cdsLancContEspelho;
    // Copy of the lines on which the debit and credit totals are summed.
    TClientDataSet* cdsDebitoCredito;

    // ---- apportionment ----------------------------------------------------------
    TClientDataSet* cdsLancCCusto;
    TStringField* cdsLancCCustoCDEMPRESA;
    TStringField* cdsLancCCustoNRLANCCONT;
    TStringField* cdsLancCCustoNRSEQLANC;
    TStringField* cdsLancCCustoCDFILIAL;
    TStringField* cdsLancCCustoCDCENTCUST;
    TFloatField* cdsLancCCustoVRLANCCUST;
    TStringField* cdsLancCCustoNMCENTCUST;
    TStringField* cdsLancCCustoNMFILIAL;
    TDateTimeField* cdsLancCCustoDTCOMPCUSTO;
    TClientDataSet* cdsLancCCustoEspelho;
    TClientDataSet* cdsRateioEspelho;  // mirrored-apportionment pattern (with FATOR)
    TClientDataSet* cdsMapaApurac;     // tax maps answered by ValidaMapa

    // ---- data sources --------------------------------------------------------------
    TDataSource* dtsLancCCusto;
    TDataSource* dtsEmpresa;
    TDataSource* dtsHistPadr;
    TDataSource* dtsCliente;
    TDataSource* dtsBanco;
    TDataSource* dtsFornecedor;
    TDataSource* dtsCentCust;
    TDataSource* dtsFilial;
    TDataSource* dtsContCtbl;

    // ---- lookup queries (suite database, read-only) ----------------------------------
    TADOIBQuery* qryEmpresa;
    TADOIBQuery* qryContOpeCtbl;
    TADOIBQuery* qryHistPadr;
    TADOIBQuery* qryCliente;
    TADOIBQuery* qryFornecedor;
    TADOIBQuery* qryBanco;
    TADOIBQuery* qryFilial;
    TADOIBQuery* qryCentCust;
    TADOIBQuery* qryContCtbl;
    TADOIBStringField* qryContCtblCDCONTCTBL;

    // ---- working members (published for reading: contracts/published.h) ----------
    // Kept copies of the commercial-code columns while a company without
    // commercial codes has them out of the grids (nullptr while in place).
    std::unique_ptr<TColumn> colLancIdLancCome;
    std::unique_ptr<TColumn> colLancCdContCome;
    std::unique_ptr<TColumn> colPadrIdLancCome;
    std::unique_ptr<TColumn> colPadrCdContCome;
    std::string stUltDocu;        // last document number seen
    std::string stFilialAnt;      // apportionment branch when its edit began
    std::string stCentCustAnt;    // apportionment cost centre when its edit began
    TDateTime dtUltLanc = 0;      // last entry date seen
    double vrContrapartida = 0;   // balancing value proposed for a new line
    double vrRestoRateio = 0;     // value proposed for a new apportionment line
    bool boFiltroCriado = false;  // the filter dialog of this instance exists
    bool boAlterado = false;      // the entry shown has changes not yet sent
    bool boNovoLanc = false;      // the include command is opening a new entry
    bool boEmRateio = false;      // the focus is in the apportionment panel
    std::int32_t nrProxSeq = 0;   // next line sequence of the entry
    std::string stNrLancCont;     // number of the entry on the form page
    std::string stHistAnt;        // CDHISTPADR of the line before its edit
    std::string stDsHistAnt;      // DSHISTLANC of the line before its edit
    // The entry's apportionment as it was when the current line edit began:
    // abandoning the edit brings it back (the account column may have
    // dropped the line's shares meanwhile).
    TDataPacket pktRateioAntesEdicao;
    bool boRateioGuardado = false;
    bool boCancelandoEdicao = false;  // the line cancel under way abandons an edit

    // ---- creation, showing, closing --------------------------------------------------
    void FormCreate(TObject* Sender) override;
    virtual void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    virtual void NetLancamentosBeforeConnect(TObject* Sender);

    // ---- company -------------------------------------------------------------------
    virtual void edtCdEmpresaEnter(TObject* Sender);
    virtual void edtCdEmpresaChange(TObject* Sender);
    virtual void edtCdEmpresaExit(TObject* Sender);
    virtual void btnEmpresaBeforePesq(TObject* Sender);
    virtual void btnEmpresaAfterPesq(TObject* Sender);
    virtual void panEmpresaExit(TObject* Sender);

    // ---- loading, pages and commands --------------------------------------------------
    virtual void spbFiltroClick(TObject* Sender);
    // Loads the company's lines with the filter dialog's applied criteria.
    // reuse: when the server's data version is the one of the lines already
    // loaded with the same criteria, they are shown again without a load.
    void GetLancCont(bool reuse = false);
    virtual void tshFolhaDadosEnter(TObject* Sender);
    virtual void panDbgPadraoEnter(TObject* Sender);
    virtual void dbgPadraoEnter(TObject* Sender);
    virtual void tshFormularioEnter(TObject* Sender);
    void pgcPadraoChange(TObject* Sender) override;
    void sbtIncluirClick(TObject* Sender) override;
    void sbtAlterarClick(TObject* Sender) override;
    void sbtVerificarClick(TObject* Sender) override;
    void sbtImprimirClick(TObject* Sender) override;
    void dtsPadraoStateChange(TObject* Sender) override;

    // ---- current line -----------------------------------------------------------------
    virtual void cdsLancContBeforeScroll(TDataSet* DataSet);
    virtual void cdsLancContAfterScroll(TDataSet* DataSet);

    // ---- rules and lookups shared with the line, apportionment and commit work -----
    // Accounting period first, then entry period; both bounds inclusive.
    void PeriodoCTB(TDateTime dtLanc);
    // Opens qryContCtbl on one account code (the caller reads the row).
    void ContaContabil(const std::string& cdContCtbl);
    // Debit and credit totals of the current entry from cdsDebitoCredito.
    void CalculaDebitoCredito();
    // Refuses any change to an entry of a batch or a closing (LANC_LOTE).
    void ValidaLancLote();
    // Refuses a change to an entry a tax assessment map uses (MAPA_APUR).
    void ValidaMapaApurac();

    // ---- entry lines (lancamentos_lines.cpp) ------------------------------------------
    virtual void cdsLancContBeforeInsert(TDataSet* DataSet);
    virtual void cdsLancContAfterInsert(TDataSet* DataSet);
    virtual void cdsLancContBeforeEdit(TDataSet* DataSet);
    virtual void cdsLancContAfterEdit(TDataSet* DataSet);
    virtual void cdsLancContBeforePost(TDataSet* DataSet);
    virtual void cdsLancContAfterPost(TDataSet* DataSet);
    virtual void depDtLancContExit(TObject* Sender);
    virtual void edtNDocExit(TObject* Sender);
    virtual void edtNDocKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual void panDadosExit(TObject* Sender);

    // ---- deleting and abandoning lines (lancamentos_cancel.cpp) ------------------------
    virtual void cdsLancContBeforeDelete(TDataSet* DataSet);
    virtual void cdsLancContAfterDelete(TDataSet* DataSet);
    virtual void cdsLancContBeforeCancel(TDataSet* DataSet);
    virtual void cdsLancContAfterCancel(TDataSet* DataSet);
    void ApagaRateioDaPartida(const std::string& keyFields);
    void restoreApportionmentOfEdit();
    void VoltaParaLista();

    // ---- apportionment lines (lancamentos_rateio.cpp) ------------------------------------
    virtual void pnlLancCCustoEnter(TObject* Sender);
    virtual void pnlLancCCustoExit(TObject* Sender);
    virtual void cdsLancCCustoBeforeInsert(TDataSet* DataSet);
    virtual void cdsLancCCustoAfterInsert(TDataSet* DataSet);
    virtual void cdsLancCCustoBeforeEdit(TDataSet* DataSet);
    virtual void cdsLancCCustoBeforePost(TDataSet* DataSet);
    virtual void cdsLancCCustoAfterPost(TDataSet* DataSet);
    virtual void cdsLancCCustoBeforeDelete(TDataSet* DataSet);
    virtual void cdsLancCCustoAfterDelete(TDataSet* DataSet);
    virtual void cdsLancCCustoVRLANCCUSTGetText(TField* Sender, std::string& Text, bool DisplayText);
    virtual void dbgLancCCustoColEnter(TObject* Sender);
    virtual void dbgLancCCustoColExit(TObject* Sender);
    virtual void dbgLancCCustoEditButtonClick(TObject* Sender);
    virtual void dbgLancCCustoExit(TObject* Sender);
    // The toolbar while the apportionment is edited (also called directly).
    virtual void dtsLancCCustoStateChange(TObject* Sender);

    // ---- apportionment check and mirrored proposal (lancamentos_espelho.cpp) -----------
    // Enforces the account's apportionment rule on the line being posted.
    void VerificaRateio();
    // Factors of the first management line's apportionment, once per opened entry.
    void CalculaRateioEspelhado();
    // Applies the factors to the current line, each share through the full checks.
    void GeraRateioEspelhado();

    // ---- confirming, cancelling, deleting the entry (lancamentos_commit.cpp) -----------
    void sbtConfirmarClick(TObject* Sender) override;
    void sbtCancelarClick(TObject* Sender) override;
    void sbtExcluirClick(TObject* Sender) override;
    // Closing with unsent changes asks first; No keeps the screen open.
    virtual void FormCloseQuery(TObject* Sender, bool& CanClose);

    // ---- totals and line display (lancamentos_totals.cpp) -------------------------------
    virtual void cdsLancContVRLANCAMENTGetText(TField* Sender, std::string& Text, bool DisplayText);
    virtual void dbgLancContDrawColumnCell(TObject* Sender, const TRect& Rect, int DataCol, TColumn* Column,
                                           TGridDrawState State);
    // The history cell last drawn by dbgLancContDrawColumnCell.
    TCelulaHistorico celHistorico;

    // ---- display texts ------------------------------------------------------------------
    virtual void cdsLancContIDLANCINTEGetText(TField* Sender, std::string& Text, bool DisplayText);
    virtual void cdsLancContIDSISTEMAGetText(TField* Sender, std::string& Text, bool DisplayText);

    // ---- line code lookups and column checks (lancamentos_lookups.cpp) ------------
    virtual void dbgLancContColExit(TObject* Sender);
    virtual void dbgLancContEditButtonClick(TObject* Sender);
    virtual void dbgLancContKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    virtual void dbgLancContKeyPress(TObject* Sender, char& Key);
    virtual void dbgLancContDblClick(TObject* Sender);
    virtual void cdsLancContCDCONTCTBLChange(TField* Sender);
    virtual void cdsLancContCDHISTPADRChange(TField* Sender);
    virtual void qryFornecedorNRINSJURFORNGetText(TField* Sender, std::string& Text, bool DisplayText);
    virtual void qryClienteNRINSJURCLIEGetText(TField* Sender, std::string& Text, bool DisplayText);
    // Checks and completes the commercial code of the current line; a
    // refusal focuses CDCONTCOME and aborts (the line post uses it too).
    void Vd_CodComer();
    // Pads and checks the standard history code and sets the line's text.
    void Vd_Historico();
    // Account tree searches that fill the current line (rule B).
    void Pesquisa_ContaContabil();
    void Pesquisa_CodRedu();
    // Client, supplier or bank account list by the line's IDLANCCOME.
    void pesquisaBancos();

    const char* ClassName() const override { return "TfrmLancamentos"; }

private:
    // frmlancamentos_def.cpp: the screen definition, part by part.
    void defineCompanyPanel();
    void defineFormPage();
    void defineLineGrids();
    void defineApportionmentPanel();
    void defineLineDataSets();
    void defineApportionmentDataSets();
    void defineDataSources();
    void defineLookupQueries();
    void defineMessages();
    void defineConnection();
    void bindHandlers();
    void publishMembers();

    // lancamentos_data.cpp
    bool editing() const;
    bool openCompany(const std::string& code);
    void openCompanyParameters(const std::string& code);
    void showCommercialCodeColumns(const std::string& idContCome);
    void takeOutCommercialColumns();
    void putBackCommercialColumns();
    void setBrowseCommandsOff();
    void openFormPage();
    void setEntryFilter();
    void reloadWholeEntry();
    std::string serverDataVersion(const std::string& empresa);

    // The last list loaded from the server: the criteria sent, what came back
    // by reference, the lines and the data version they were read at.
    struct TLoadedList {
        std::vector<TRpcValue> Sent, Returned;
        TDataPacket Lines;
        std::string Version;
    } loadedList_;
    void loadApportionment();
    void refilterApportionment();
    void checkApportionmentPanel();
    // Enabled state of the commands, pages and company controls, with
    // `edit` telling whether the entry counts as being edited.
    void applyCommandState(bool edit, bool setFormPage);

    // lancamentos_rateio.cpp: completion of the owning line and the checks
    // of an apportionment post, in their order.
    void completaPartidaDoRateio(bool newLine);
    bool lineEditing() const;
    bool apportionmentEditing() const;
    void checkBranchGiven();
    void checkBranchExists();
    void checkBranchOfCompany();
    void checkCostCentreGiven();
    void checkCostCentreOfBranch();
    void checkCompetence();
    void checkShare();
    void checkDuplicatePair();
    void openCostCentre(const std::string& cdCentCust, const std::string& cdFilial);

    // lancamentos_espelho.cpp
    static bool TakesApportionment(const std::string& idContCcus);
    void deleteViewedApportionment();
    std::vector<ledger::TShare> viewedShares() const;
    void proposeMirroredApportionment(const std::function<void()>& refocus);

    // lancamentos_commit.cpp: the confirmation pass, one line at a time.
    struct TLinhaConfirmacao {
        std::string CdEmpresa, NrLancCont, NrSeqLanc, CdContCtbl, IdLancCome;
        double VrLancamento = 0;
    };
    std::vector<TLinhaConfirmacao> linhasDaConfirmacao();
    void positionLineGrid(const TLinhaConfirmacao& linha);
    // `unfreeze` shows both grids again before a question or a refusal.
    void confirmApportionment(const TLinhaConfirmacao& linha, const std::function<void()>& unfreeze);
    void confirmCommercialType(const TLinhaConfirmacao& linha);
    void sendEntry();

    // lancamentos_lines.cpp: the steps of a line post, in their order.
    void postHeader();
    void postAccount();
    void postHistory();
    void postValue();
    void postSameAccountRule();
    void postCommercialCode();
    void writeLineDate();
    void writeBalanceFlags();
    // A refusal of the entry rules: the focus on its field's column (or on
    // `control`), its message, abort; nothing for no refusal.
    void check(const ledger::TCheck& refusal, TWinControl* control = nullptr);
    // The current line and the company's parameters as the rules read them.
    ledger::TEntryLine currentLine() const;
    ledger::TCompanyRules companyRules() const;
    // A column of the company's qryContOpeCtbl row ("" when it is not open).
    std::string companySwitch(const char* field) const;
};

// Unit globals: the screen and "the screen exists" (from creation to close).
extern TfrmLancamentos* frmLancamentos;
extern bool bostcriado;

// Creates the entry screen once and shows it (restoring a minimised one).
void CriaLancamentos();

// Display text of an entry origin code (IDLANCINTE) and of a source system
// (IDSISTEMA); "" for a code without one.
std::string TextoIdLancInte(const TMessages& messages, const std::string& code);
std::string TextoIdSistema(const std::string& code);

// Filter texts of the screen's data sets, blanks as the screen has always
// written them (a quote inside a value is doubled, so the text stays one
// literal):
//  - cdsLancCont on one entry: "CDEMPRESA = '01'AND NRLANCCONT = '...'";
//  - cdsLancCCusto on one line: "NRLANCCONT = '...' AND CDEMPRESA  = '01'
//    AND NRSEQLANC  = '00001'";
//  - cdsDebitoCredito on one entry: "NRLANCCONT = '...' AND CDEMPRESA  = '01'".
std::string FiltroLancamento(const std::string& cdEmpresa, const std::string& nrLancCont);
std::string FiltroRateio(const std::string& nrLancCont, const std::string& cdEmpresa, const std::string& nrSeqLanc);
std::string FiltroDebitoCredito(const std::string& nrLancCont, const std::string& cdEmpresa);
//  - the line mirror on one line (the first management line of a proposal):
//    "CDEMPRESA  = '01' AND NRLANCCONT = '...' AND NRSEQLANC  = '00001'";
//  - cdsLancCCusto on one line in the confirmation pass: "NRSEQLANC = '00001'
//    AND CDEMPRESA = '01' AND NRLANCCONT = '...'".
std::string FiltroPartidaEspelho(const std::string& cdEmpresa, const std::string& nrLancCont,
                                 const std::string& nrSeqLanc);
std::string FiltroRateioConfirmacao(const std::string& nrSeqLanc, const std::string& cdEmpresa,
                                    const std::string& nrLancCont);
