// TfrmDadosGerRel: the suite's base report-parameter form. The report is
// chosen in cbbReportNames (filled from rpddPadrao's definitions when the
// form is created); print, preview and save-as run it through the report
// designer dialog rpddPadrao, which asks the form for the query's parameters
// (BeforeGetQueryParams). A derived screen checks its criteria in its own
// click handlers and then calls these.
#pragma once

#include "contracts/buttons.h"
#include "contracts/reportdesigner.h"
#include "contracts/zem_msg.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"

class TfrmDadosGerRel : public TForm {
public:
    explicit TfrmDadosGerRel(TComponent* owner);
    ~TfrmDadosGerRel() override;

    TLabel* lblCodTela;
    TGroupBox* grbDadosRel;
    TBevel* bvlSeparator;
    TPanel* panRelat;
    TComboBox* cbbReportNames;
    TPanel* panMenu;
    TLabel* lblCodRel;
    TButtonFlat* sbtPrint;
    TButtonFlat* sbtPreview;
    TButtonFlat* sbtSalvarComo;
    TButtonFlat* sbtFechar;
    TMessages* msgPadrao;
    TReportDesignerDialog* rpddPadrao;

    virtual void FormCreate(TObject* Sender);
    virtual void FormActivate(TObject* Sender);
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    virtual void sbtPrintClick(TObject* Sender);
    virtual void sbtPreviewClick(TObject* Sender);
    virtual void sbtSalvarComoClick(TObject* Sender);
    virtual void sbtFecharClick(TObject* Sender);

    const char* ClassName() const override { return "TfrmDadosGerRel"; }

protected:
    // Runs the chosen report; a missing definition is refused with the
    // screen's "Arq_Rel_Err" text (MensErro, abort).
    void RunReport(TReportAction action, const std::string& title = "");
    // The report code whose definitions the form lists.
    std::string ReportCode() const;

private:
    void fillReportNames();
};

// The small modal dialog "frmTituloRelatorio" (edit edtTitulo, buttons btnOk
// and btnCancelar): true with the text typed when confirmed.
bool AskReportTitle(const std::string& caption, const std::string& prompt, std::string& title);
