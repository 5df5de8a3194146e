// The suite's buttons: the flat tool button and the lookup button.
#pragma once

#include "platform/ui/stdctrls.h"

#include <string>

class TDataSource;

// A flat tool button (never takes the focus).
class TButtonFlat : public TSpeedButton {
public:
    explicit TButtonFlat(TComponent* owner);
    const char* ClassName() const override { return "TButtonFlat"; }
};

enum TPesqType { ptSimples, ptArvore };

// A lookup button. A click with OnClick assigned just runs OnClick (the list
// buttons do their whole lookup there). Otherwise the button runs its own
// lookup:
//   1. OnBeforePesq (opens the screen's query);
//   2. a data set that is missing, closed or empty is refused with
//      EmptyError (MensErro, abort);
//   3. the pick: ptSimples -> Pesquisa::Pesquisar over DataSource with Title;
//      ptArvore -> Pesqarvore::PesqArv with the picture of PictType, the
//      fields FieldCodigo, FieldNivel, FieldNome, "1" and the text of
//      Associate as the current code;
//   4. on a pick, OnAfterPesq; without one, Associate receives the picked
//      FieldCodigo. A cancel changes nothing.
class TBtnPesquisa : public TButtonFlat {
public:
    explicit TBtnPesquisa(TComponent* owner);

    TWinControl* Associate = nullptr;
    TPesqType PesqType = ptSimples;
    std::string Title;
    TDataSource* DataSource = nullptr;
    std::string FieldCodigo;
    std::string FieldNome;
    std::string FieldNivel;
    int PictType = 0;
    std::string EmptyError;
    TNotifyEvent OnBeforePesq;
    TNotifyEvent OnAfterPesq;

    void Click() override;
    const char* ClassName() const override { return "TBtnPesquisa"; }
    const char* WidgetKind() const override { return "lookupbutton"; }

private:
    bool runPick();
    void fillAssociate();
};
