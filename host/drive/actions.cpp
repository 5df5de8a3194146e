#include "host/drive/actions.h"

#include "host/drive/readout.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/grid.h"

#include <functional>

namespace drive {
namespace {

std::string Describe(const TComponent* c) {
    if (auto* ctl = dynamic_cast<const TControl*>(c)) return std::string(ctl->ClassName()) + " " + c->Name;
    return c->Name;
}

// A control a person can reach: shown and enabled up its parents.
std::string Reachable(const TControl* c) {
    if (!c->Showing()) return Describe(c) + " is not visible";
    if (!c->EnabledChain()) return Describe(c) + " is disabled";
    return {};
}

std::string Focusable(const TWinControl* w) {
    std::string why = Reachable(w);
    if (why.empty() && !w->CanFocus()) why = Describe(w) + " cannot take the focus";
    return why;
}

// Runs one user action; a false result of the operation (with no exception)
// means the platform refused it as impossible, reported with `refusal`.
std::string Act(const std::function<bool()>& op, const std::string& refusal) {
    bool done = true;
    bool normal = Dispatch([&] { done = op(); });
    return (normal && !done) ? refusal : std::string();
}

bool ParseNamedKey(const std::string& key, WORD& vk, TShiftState& shift) {
    struct Named { const char* name; WORD vk; bool ctrl; };
    static const Named keys[] = {{"Enter", VK_RETURN, false}, {"Tab", VK_TAB, false},
                                 {"Escape", VK_ESCAPE, false}, {"Delete", VK_DELETE, false},
                                 {"Insert", VK_INSERT, false}, {"Down", VK_DOWN, false},
                                 {"Up", VK_UP, false},         {"F2", VK_F2, false},
                                 {"Ctrl+Delete", VK_DELETE, true}};
    for (const Named& k : keys) {
        if (!SameText(key, k.name)) continue;
        vk = k.vk;
        shift = k.ctrl ? TShiftState(ssCtrl) : TShiftState();
        return true;
    }
    return false;
}

std::string ColumnOf(TDBGrid* g, const std::string& field, int& index) {
    index = g->Columns->IndexOfField(field);
    if (index < 0) return "grid " + g->Name + " has no column " + field;
    if (!g->Columns->Items(index)->Visible) return "the column " + field + " of " + g->Name + " is hidden";
    return {};
}

TControl* CancelButtonOf(TForm* f) {
    for (int i = 0; i < f->ComponentCount(); ++i) {
        TComponent* c = f->Components(i);
        auto* b = dynamic_cast<TButton*>(c);
        auto* s = dynamic_cast<TSpeedButton*>(c);
        if ((b && b->Cancel) || (s && s->Cancel)) {
            TControl* ctl = b ? static_cast<TControl*>(b) : static_cast<TControl*>(s);
            if (Reachable(ctl).empty()) return ctl;
        }
    }
    return nullptr;
}

}  // namespace

std::string FocusControl(TComponent* c) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) return Describe(c) + " cannot take the focus";
    if (std::string why = Focusable(w); !why.empty()) return why;
    Dispatch([w] { w->SetFocus(); });
    return {};
}

std::string TypeText(TComponent* c, const std::string& text) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) return Describe(c) + " does not take typing";
    if (std::string why = Focusable(w); !why.empty()) return why;
    if (auto* e = dynamic_cast<TCustomEdit*>(w)) {
        if (e->ReadOnly) return Describe(c) + " is read-only";
        return Act([&] { return e->UserType(text); }, Describe(c) + " did not take the typing");
    }
    if (auto* cb = dynamic_cast<TComboBox*>(w))
        return Act([&] { return cb->UserSelectText(text); }, Describe(c) + " has no item \"" + text + "\"");
    if (auto* g = dynamic_cast<TDBGrid*>(w))
        return Act([&] { return g->UserTypeCell(text); }, "the selected cell of " + g->Name + " cannot be edited");
    return Act([&] { return w->UserTypeKeys(text); }, Describe(c) + " did not take the typing");
}

std::string SetText(TComponent* c, const std::string& text) {
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) {
        if (std::string why = Reachable(e); !why.empty()) return why;
        if (e->ReadOnly) return Describe(c) + " is read-only";
        return Act([&] { return e->UserSet(text); }, Describe(c) + " did not take the text");
    }
    if (auto* cb = dynamic_cast<TComboBox*>(c)) {
        if (std::string why = Reachable(cb); !why.empty()) return why;
        return Act([&] { return cb->UserSelectText(text); }, Describe(c) + " has no item \"" + text + "\"");
    }
    return Describe(c) + " has no text to set";
}

std::string PressKey(TComponent* c, const std::string& key) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) return Describe(c) + " does not take keys";
    if (std::string why = Focusable(w); !why.empty()) return why;
    WORD vk = 0;
    TShiftState shift;
    if (ParseNamedKey(key, vk, shift))
        return Act([&] { return w->UserKey(vk, shift); }, Describe(c) + " did not take the key " + key);
    return Act([&] { return w->UserChar(key); }, Describe(c) + " did not take the key " + key);
}

std::string ClickControl(TComponent* c) {
    if (auto* m = dynamic_cast<TMenuItem*>(c)) {
        for (TMenuItem* p = m; p; p = p->Parent())
            if (!p->Enabled || !p->Visible) return "menu command " + m->Name + " is disabled or hidden";
        return Act([m] { return m->UserClick(); }, "menu command " + m->Name + " refused the click");
    }
    if (auto* sheet = dynamic_cast<TTabSheet*>(c)) {
        TPageControl* pc = sheet->PageControl();
        if (!pc) return "tab " + sheet->Name + " belongs to no page control";
        if (!sheet->TabVisible || !sheet->Enabled) return "tab " + sheet->Name + " is hidden or disabled";
        if (std::string why = Focusable(pc); !why.empty()) return why;
        Dispatch([pc, sheet] { pc->UserSelectPage(sheet); });
        return {};
    }
    auto* ctl = dynamic_cast<TControl*>(c);
    if (!ctl) return Describe(c) + " cannot be clicked";
    if (std::string why = Reachable(ctl); !why.empty()) return why;
    // A click whose focus move an exit handler refused is the screen's refusal.
    Dispatch([ctl] { ctl->UserClick(); });
    return {};
}

std::string DblClickControl(TComponent* c) {
    auto* ctl = dynamic_cast<TControl*>(c);
    if (!ctl) return Describe(c) + " cannot be double-clicked";
    if (std::string why = Reachable(ctl); !why.empty()) return why;
    Dispatch([ctl] { ctl->UserDblClick(); });
    return {};
}

std::string CloseForm(TComponent* c) {
    auto* f = dynamic_cast<TForm*>(c);
    if (!f) return Describe(c) + " is not a form";
    if (!f->Visible) return "form " + f->Name + " is not open";
    if (f->Modal()) {
        if (TControl* cancel = CancelButtonOf(f)) {
            Dispatch([cancel] { cancel->UserClick(); });
            return {};
        }
    }
    Dispatch([f] { f->Close(); });
    return {};
}

std::string GridSelectColumn(TDBGrid* g, const std::string& field) {
    int index = -1;
    if (std::string why = ColumnOf(g, field, index); !why.empty()) return why;
    if (std::string why = Reachable(g); !why.empty()) return why;
    Dispatch([g, &field] { g->UserSelectField(field); });
    return {};
}

std::string GridMoveToRow(TDBGrid* g, int row) {
    if (std::string why = Reachable(g); !why.empty()) return why;
    if (row < 1 || row > g->RowCount())
        return "grid " + g->Name + " has no row " + std::to_string(row) + " (" + std::to_string(g->RowCount()) + " rows)";
    Dispatch([g, row] { g->UserMoveToRow(row - 1); });
    return {};
}

std::string GridTypeCell(TDBGrid* g, const std::string& field, const std::string& text) {
    int index = -1;
    if (std::string why = ColumnOf(g, field, index); !why.empty()) return why;
    if (std::string why = Focusable(g); !why.empty()) return why;
    Dispatch([g, &field] { g->UserSelectField(field); });
    if (g->SelectedIndex() != index) return {};  // a column or focus handler kept the selection
    return Act([g, &text] { return g->UserTypeCell(text); }, "the cell " + field + " of " + g->Name + " cannot be edited");
}

std::string GridEditButton(TDBGrid* g) {
    if (std::string why = Reachable(g); !why.empty()) return why;
    return Act([g] { return g->UserEditButton(); }, "the selected column of " + g->Name + " has no ellipsis button");
}

}  // namespace drive
