// TfrmHistLanc (screen CTB11030, "Histórico do Lancamento Contábil"): the
// small modal dialog of a line's free history text. At most one at a time:
// created on demand, destroyed by its own close. The memo and the transfer of
// the text arrive on this shell later.
#pragma once

#include "contracts/frmrotgeral.h"
#include "package/published.h"

class TfrmHistLanc : public TfrmRotiGeral, public TPublishedMembers {
public:
    explicit TfrmHistLanc(TComponent* owner);
    ~TfrmHistLanc() override;

    void FormCreate(TObject* Sender) override;
    void FormClose(TObject* Sender, TCloseAction& Action) override;

    const char* ClassName() const override { return "TfrmHistLanc"; }
};

extern TfrmHistLanc* frmHistLanc;
extern bool boIdCriado;  // the dialog exists
extern bool boFrmClose;  // the dialog was closed by confirming

// Creates the history dialog when none exists and shows it modally.
void CriaHistorico();
