// TfrmLancLista (screen CTB11020, "Lançamento Contábil"): the parameters of
// the entry listing report, handed to the report designer dialog. A new
// instance for every print request of the entry screen; freed by its close.
// The criteria and their checks arrive on this shell later.
#pragma once

#include "contracts/dadosgerrel.h"
#include "package/published.h"

class TfrmLancLista : public TfrmDadosGerRel, public TPublishedMembers {
public:
    explicit TfrmLancLista(TComponent* owner);
    ~TfrmLancLista() override;

    const char* ClassName() const override { return "TfrmLancLista"; }
};

// The listing form of the latest print request.
extern TfrmLancLista* frmLancLista;
