// TfrmHistLanc (screen CTB11030, "Histórico do Lancamento Contábil"): the
// small modal dialog of the free history text (DSHISTLANC, up to 600
// characters) of the entry screen's current line. At most one at a time:
// created by each CriaHistorico, destroyed by its own close, so every
// opening reads the then-current line. Confirming writes the text into the
// line and leaves it in edit (or in insert); posting it is the entry
// screen's business. Cancelling leaves the line untouched.
#pragma once

#include "contracts/frmrotgeral.h"
#include "contracts/published.h"
#include "platform/ui/edits.h"

class TfrmHistLanc : public TfrmRotiGeral, public TPublishedMembers {
public:
    explicit TfrmHistLanc(TComponent* owner);
    ~TfrmHistLanc() override;

    TPanel* panDescricao;
    TMemo* memDesc;

    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;
    void sbtConfirmaClick(TObject* Sender) override;
    void sbtCancelClick(TObject* Sender) override;

    const char* ClassName() const override { return "TfrmHistLanc"; }
};

extern TfrmHistLanc* frmHistLanc;
extern bool boIdCriado;  // the dialog exists
extern bool boFrmClose;  // the dialog was last left by confirming

// Creates the history dialog when none exists and shows it modally.
void CriaHistorico();
