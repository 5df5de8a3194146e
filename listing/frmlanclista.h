// TfrmLancLista (screen CTB11020, "Lançamento Contábil"): the parameters of
// the entry listing. A new instance for every print request of the entry
// screen (modal, freed by its close); the company is the entry screen's.
//
// The criteria (accounts, dates, value, standard histories, document, entry
// number, clients, suppliers, bank accounts) are checked before every print,
// preview or save-as (Vd_Valid) and become the values of the report query's
// parameters when the designer dialog asks for them
// (rpddPadraoBeforeGetQueryParams). Only the account and date criteria
// apply to reports other than the first of the list.
//
// Files: frmlanclista_def.cpp (components, messages, queries, bindings,
// published members), lanclista_criteria.cpp (creation, report choice,
// activation, checks, query parameters), lanclista_fields.cpp (account
// fields, tree and list lookups, radio pairs).
#pragma once

#include "contracts/buttons.h"
#include "contracts/dadosgerrel.h"
#include "contracts/published.h"
#include "platform/data/datasource.h"
#include "platform/db/adoibquery.h"
#include "platform/ui/edits.h"

#include <string>

class TfrmLancLista : public TfrmDadosGerRel, public TPublishedMembers {
public:
    explicit TfrmLancLista(TComponent* owner);
    ~TfrmLancLista() override;

    // ---- components (frmlanclista_def.cpp) --------------------------------
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
    TLabel* lblDe;
    TNumberEdit* edtValorIni;
    TLabel* lblAte;
    TNumberEdit* edtValorFim;
    TGroupBox* grbHistorico;
    TRadioButton* rbtTodos;
    TRadioButton* rbtLista;
    TBtnPesquisa* sbtHist;
    TGroupBox* grbDoc;
    TLabel* lblNumeDocu;
    TMaskEdit* medDoc;
    TGroupBox* grbLancto;
    TLabel* lblNumeLanc;
    TMaskEdit* medLanc;
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

    TADOIBQuery* qryContCtbl;
    TADOIBStringField* qryContCtblCDCONTCTBL;
    TADOIBStringField* qryContCtblNMCONTCTBL;
    TADOIBStringField* qryContCtblCDNVCONTCTBL;
    TDataSource* dtsContCtbl;
    TADOIBQuery* qryContOp;

    // ---- working members ---------------------------------------------------
    // Codes chosen with each group's list lookup ("_01__03_"); empty when no
    // list is chosen; "T" once an empty list has gone to a report.
    std::string stListaForn, stListaClie, stListaBanc, stListaHist;

    // ---- handlers (lanclista_criteria.cpp) ----------------------------------
    void FormCreate(TObject* Sender) override;
    void FormActivate(TObject* Sender) override;
    virtual void cbbReportNamesChange(TObject* Sender);
    void sbtPrintClick(TObject* Sender) override;
    void sbtPreviewClick(TObject* Sender) override;
    void sbtSalvarComoClick(TObject* Sender) override;
    virtual void rpddPadraoBeforeGetQueryParams(TComponent* Sender, TParams& Params);
    // The checks of print, preview and save-as; the first failure ends them.
    void Vd_Valid();

    // ---- field handlers (lanclista_fields.cpp) -------------------------------
    virtual void medContCtblInExit(TObject* Sender);
    virtual void medContCtblFiExit(TObject* Sender);
    virtual void BtnPesquisa1BeforePesq(TObject* Sender);
    virtual void BtnPesquisa1AfterPesq(TObject* Sender);
    virtual void BtnPesquisa2AfterPesq(TObject* Sender);
    virtual void depIniExit(TObject* Sender);
    virtual void depFimExit(TObject* Sender);
    virtual void rbtTodosClick(TObject* Sender);
    virtual void rbtTClieClick(TObject* Sender);
    virtual void rbtTFornClick(TObject* Sender);
    virtual void rbtTBancClick(TObject* Sender);
    virtual void sbtHistClick(TObject* Sender);
    virtual void sbtClieClick(TObject* Sender);
    virtual void BtnPesquisa5Click(TObject* Sender);  // sbtForn
    virtual void sbtBancClick(TObject* Sender);

    const char* ClassName() const override { return "TfrmLancLista"; }

private:
    // frmlanclista_def.cpp
    void buildAccounts();
    void buildValues();
    void buildGroups();
    void buildData();
    void fillMessages();
    void bindHandlers();
    void publishMembers();
    // lanclista_criteria.cpp
    void limpaCriterios();
    void habilitaCriterios(bool primeiro);
    // lanclista_fields.cpp
    void validaConta(TMaskEdit* edit);
    void trocaLista(TRadioButton* lista, TControl* botao, std::string& stLista);
};

// The listing form of the latest print request.
extern TfrmLancLista* frmLancLista;
