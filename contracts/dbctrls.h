// The data-aware pieces of the base maintenance form's navigator bar: a label
// that shows a field of the current record and the navigator's buttons.
#pragma once

#include "platform/ui/stdctrls.h"

#include <string>

class TDataSource;

// Shows the display text of DataField in the current record of DataSource.
class TDBText : public TLabel {
public:
    explicit TDBText(TComponent* owner) : TLabel(owner) {}
    TDataSource* DataSource = nullptr;
    std::string DataField;
    // The text shown now ("" without an open data set or the field).
    std::string Text() const;
    const char* ClassName() const override { return "TDBText"; }
    const char* WidgetKind() const override { return "dbtext"; }
};

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };

// Record navigation over DataSource. A button that does not apply to the data
// set's state (or a closed data set) does nothing.
class TDBNavigator : public TWinControl {
public:
    explicit TDBNavigator(TComponent* owner);
    TDataSource* DataSource = nullptr;
    bool ConfirmDelete = true;  // asks "Confirma exclusão?" before deleting
    bool ButtonEnabled(TNavigateBtn button) const;
    // The user's press of a button (goes through the dispatcher like any click).
    void BtnClick(TNavigateBtn button);
    const char* ClassName() const override { return "TDBNavigator"; }
    const char* WidgetKind() const override { return "navigator"; }
};
