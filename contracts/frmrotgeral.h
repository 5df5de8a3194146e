// TfrmRotiGeral: the suite's base dialog. The dialog's fields go into
// grbDadosRel; panMenu holds panBotoes with the confirm and cancel buttons.
// The buttons are tool buttons: a click leaves the focused field (and its
// exit handler) alone, so a confirmation runs the field's check itself.
#pragma once

#include "contracts/buttons.h"
#include "contracts/zem_msg.h"
#include "platform/ui/forms.h"

class TfrmRotiGeral : public TForm {
public:
    explicit TfrmRotiGeral(TComponent* owner);
    ~TfrmRotiGeral() override;

    TLabel* lblCodTela;
    TGroupBox* grbDadosRel;
    TPanel* panMenu;
    TPanel* panBotoes;
    TButtonFlat* sbtConfirma;
    TButtonFlat* sbtCancel;
    TMessages* msgPadrao;

    virtual void FormCreate(TObject* Sender);
    // Frees the dialog once closed.
    virtual void FormClose(TObject* Sender, TCloseAction& Action);
    // Confirms: a modal dialog ends with mrOk, another one closes.
    virtual void sbtConfirmaClick(TObject* Sender);
    // Gives up: a modal dialog ends with mrCancel, another one closes.
    virtual void sbtCancelClick(TObject* Sender);

    const char* ClassName() const override { return "TfrmRotiGeral"; }
};
