// TfrmPadrao: the suite's base maintenance form. A command bar (panMenu) with
// include, change, delete, confirm, cancel, check, print, help and close; a
// main menu whose commands mirror the bar; a page control with the browse
// page (grid dbgPadrao) and the form page; a navigator bar; the data source
// dtsPadrao whose state drives the commands; and two message tables.
//
// The handlers are virtual and bound once by this constructor, so a derived
// screen replaces one by overriding it (and calls the base version first
// where it needs to).
#pragma once

#include "contracts/buttons.h"
#include "contracts/dbctrls.h"
#include "contracts/zem_msg.h"
#include "platform/data/datasource.h"
#include "platform/ui/forms.h"
#include "platform/ui/grid.h"

#include <map>

class TfrmPadrao : public TForm {
public:
    explicit TfrmPadrao(TComponent* owner);
    ~TfrmPadrao() override;

    TLabel* lblCodTela;
    TPanel* panMenu;
    TButtonFlat* sbtIncluir;
    TButtonFlat* sbtAlterar;
    TButtonFlat* sbtExcluir;
    TButtonFlat* sbtConfirmar;
    TButtonFlat* sbtCancelar;
    TButtonFlat* sbtVerificar;
    TButtonFlat* sbtImprimir;
    TButtonFlat* sbtAjuda;
    TButtonFlat* sbtFechar;

    TMainMenu* mnuMenu;
    TMenuItem* mnuOpcoes;  // the commands' menu
    TMenuItem* mniIncluir;
    TMenuItem* mniAlterar;
    TMenuItem* mniExcluir;
    TMenuItem* mniConfirmar;
    TMenuItem* mniCancelar;
    TMenuItem* mniVerificar;
    TMenuItem* mniImprimir;

    TPageControl* pgcPadrao;
    TTabSheet* tshFolhaDados;
    TPanel* panDbgPadrao;
    TScrollBox* scbFolhaDados;
    TDBGrid* dbgPadrao;
    TTabSheet* tshFormulario;
    TPanel* panFormulario;
    TScrollBox* scbFormulario;

    TPanel* panNavigator;
    TDBText* dbtNome;
    TDBNavigator* dbnPadrao;

    TDataSource* dtsPadrao;
    TMessages* msgPadrao;
    TMessages* msgMensagensPadroes;
    TPopupMenu* pmnNavegar;

    // Sets Enabled of a command button and of its menu command together
    // (help and close have none).
    void SetCommandEnabled(TControl* button, bool enabled);
    TMenuItem* MenuCommandOf(const TControl* button) const;

    // Base handlers.
    virtual void FormCreate(TObject* Sender);
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    virtual void pgcPadraoChange(TObject* Sender);
    virtual void sbtIncluirClick(TObject* Sender);
    virtual void sbtAlterarClick(TObject* Sender);
    virtual void sbtExcluirClick(TObject* Sender);
    virtual void sbtConfirmarClick(TObject* Sender);
    virtual void sbtCancelarClick(TObject* Sender);
    virtual void sbtVerificarClick(TObject* Sender);
    virtual void sbtImprimirClick(TObject* Sender);
    virtual void sbtAjudaClick(TObject* Sender);
    virtual void sbtFecharClick(TObject* Sender);
    virtual void dtsPadraoStateChange(TObject* Sender);

    const char* ClassName() const override { return "TfrmPadrao"; }

private:
    std::map<const TControl*, TMenuItem*> commands_;
    void buildCommandBar();
    void buildMenu();
    void buildPages();
    void buildNavigator();
    void bindHandlers();
    TButtonFlat* commandButton(const char* name, const char* caption, const char* hint);
    TMenuItem* mirror(TButtonFlat* button, const char* name, const char* shortCut);
};
