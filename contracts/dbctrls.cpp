#include "contracts/dbctrls.h"

#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/ui/services.h"

namespace {

TDataSet* openSet(TDataSource* ds) {
    TDataSet* set = ds ? ds->DataSet() : nullptr;
    return set && set->Active() ? set : nullptr;
}

bool editing(const TDataSet* set) { return set->State() == dsEdit || set->State() == dsInsert; }

}  // namespace

std::string TDBText::Text() const {
    TDataSet* set = openSet(DataSource);
    if (!set || set->IsEmpty()) return "";
    TField* f = set->FindField(DataField);
    return f ? f->DisplayText() : "";
}

TDBNavigator::TDBNavigator(TComponent* owner) : TWinControl(owner) {}

bool TDBNavigator::ButtonEnabled(TNavigateBtn button) const {
    TDataSet* set = openSet(DataSource);
    if (!set || !Enabled) return false;
    switch (button) {
    case nbFirst:
    case nbPrior: return !editing(set) && !set->Bof();
    case nbNext:
    case nbLast: return !editing(set) && !set->Eof();
    case nbInsert: return !editing(set);
    case nbDelete:
    case nbEdit: return !editing(set) && !set->IsEmpty();
    case nbPost:
    case nbCancel: return editing(set);
    case nbRefresh: return !editing(set);
    }
    return false;
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
    if (!ButtonEnabled(button)) return;
    TDataSet* set = openSet(DataSource);
    switch (button) {
    case nbFirst: set->First(); break;
    case nbPrior: set->Prior(); break;
    case nbNext: set->Next(); break;
    case nbLast: set->Last(); break;
    case nbInsert: set->Insert(); break;
    case nbEdit: set->Edit(); break;
    case nbPost: set->Post(); break;
    case nbCancel: set->Cancel(); break;
    case nbDelete:
        if (!ConfirmDelete ||
            MessageDlg("Confirma exclusão?", mtConfirmation, TMsgDlgButtons(mbYes) << mbNo, 0) == mrYes)
            set->Delete();
        break;
    case nbRefresh: break;
    }
}
