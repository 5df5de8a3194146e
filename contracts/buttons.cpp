#include "contracts/buttons.h"

#include "contracts/consiste.h"
#include "contracts/pesqarvore.h"
#include "contracts/pesquisa.h"
#include "contracts/zembra.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/ui/edits.h"

TButtonFlat::TButtonFlat(TComponent* owner) : TSpeedButton(owner) { Flat = true; }

TBtnPesquisa::TBtnPesquisa(TComponent* owner) : TButtonFlat(owner) {
    Hint = "Pesquisar";
    ShowHint = true;
}

void TBtnPesquisa::Click() {
    if (OnClick) {
        TButtonFlat::Click();
        return;
    }
    if (OnBeforePesq) OnBeforePesq(this);
    TDataSet* ds = DataSource ? DataSource->DataSet() : nullptr;
    if (!ds || !ds->Active() || ds->IsEmpty())
        Consiste::MensErro(EmptyError.empty() ? "Não há registros para pesquisar." : EmptyError, true);
    if (!runPick()) return;
    if (OnAfterPesq) OnAfterPesq(this);
    else fillAssociate();
}

bool TBtnPesquisa::runPick() {
    if (PesqType == ptSimples) return Pesquisa::Pesquisar(DataSource, Title, false, true);
    std::string code;
    if (auto* edit = dynamic_cast<TCustomEdit*>(Associate)) code = edit->Text();
    return Pesqarvore::PesqArv(DataSource, Zembra::DBPict(PictType), {FieldCodigo, FieldNivel, FieldNome, "1"}, Title,
                               code);
}

void TBtnPesquisa::fillAssociate() {
    auto* edit = dynamic_cast<TCustomEdit*>(Associate);
    TDataSet* ds = DataSource ? DataSource->DataSet() : nullptr;
    if (!edit || !ds || FieldCodigo.empty()) return;
    if (TField* f = ds->FindField(FieldCodigo)) edit->SetText(f->AsString());
}
