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
    if (!c->Showing()) return Describe(c) + " não está visível";
    if (!c->EnabledChain()) return Describe(c) + " está desabilitado";
    return {};
}

std::string Focusable(const TWinControl* w) {
    std::string why = Reachable(w);
    if (why.empty() && !w->CanFocus()) why = Describe(w) + " não pode receber o foco";
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
    struct Named {
        const char* name;
        WORD vk;
        bool ctrl;
    };
    static const Named keys[] = {
        {"Enter", VK_RETURN, false},  {"Tab", VK_TAB, false},       {"Escape", VK_ESCAPE, false},
        {"Delete", VK_DELETE, false}, {"Insert", VK_INSERT, false}, {"Down", VK_DOWN, false},
        {"Up", VK_UP, false},         {"F2", VK_F2, false},         {"Ctrl+Delete", VK_DELETE, true}};
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
    if (index < 0) return "a grade " + g->Name + " não tem a coluna " + field;
    if (!g->Columns->Items(index)->Visible) return "a coluna " + field + " de " + g->Name + " está oculta";
    return {};
}

// Moves the focus to w first, as a person's click or Tab would (exit and
// enter handlers run). "" when w then holds the focus; otherwise an exit
// handler kept it elsewhere (its error box is already noted) and the command
// that needed it could not run.
std::string ReachFocus(TWinControl* w) {
    if (!w->Focused()) Dispatch([w] { w->SetFocus(); });
    if (w->Focused()) return {};
    TWinControl* now = Screen->ActiveControl();
    return "não executado: o foco ficou em " + (now ? now->Name : std::string("nenhum controle"));
}

// A grid's cell editor that still holds text (a value the screen refused) is
// emptied first, so that the typed text replaces it as after a select-all.
void EmptyCellEditor(TDBGrid* g) {
    for (int guard = 0; g->EditorActive() && guard < 1024; ++guard) {
        const std::string before = g->EditorText();
        Dispatch([g] { g->UserChar("\b"); });
        if (g->EditorText() == before) break;
    }
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
    if (!w) return Describe(c) + " não pode receber o foco";
    if (std::string why = Focusable(w); !why.empty()) return why;
    Dispatch([w] { w->SetFocus(); });
    return {};
}

std::string TypeText(TComponent* c, const std::string& text) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) return Describe(c) + " não aceita digitação";
    if (std::string why = Focusable(w); !why.empty()) return why;
    if (auto* e = dynamic_cast<TCustomEdit*>(w); e && e->ReadOnly) return Describe(c) + " é somente leitura";
    if (std::string why = ReachFocus(w); !why.empty()) return why;
    if (auto* e = dynamic_cast<TCustomEdit*>(w))
        return Act([&] { return e->UserType(text); }, Describe(c) + " não aceitou a digitação");
    if (auto* cb = dynamic_cast<TComboBox*>(w))
        return Act([&] { return cb->UserSelectText(text); }, Describe(c) + " não tem o item \"" + text + "\"");
    if (auto* g = dynamic_cast<TDBGrid*>(w)) {
        EmptyCellEditor(g);
        return Act([&] { return g->UserTypeCell(text); },
                   "a célula selecionada de " + g->Name + " não pode ser editada");
    }
    return Act([&] { return w->UserTypeKeys(text); }, Describe(c) + " não aceitou a digitação");
}

std::string SetText(TComponent* c, const std::string& text) {
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) {
        if (std::string why = Reachable(e); !why.empty()) return why;
        if (e->ReadOnly) return Describe(c) + " é somente leitura";
        return Act([&] { return e->UserSet(text); }, Describe(c) + " não aceitou o texto");
    }
    if (auto* cb = dynamic_cast<TComboBox*>(c)) {
        if (std::string why = Reachable(cb); !why.empty()) return why;
        return Act([&] { return cb->UserSelectText(text); }, Describe(c) + " não tem o item \"" + text + "\"");
    }
    return Describe(c) + " não tem texto a definir";
}

std::string PressKey(TComponent* c, const std::string& key) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) return Describe(c) + " não aceita teclas";
    if (std::string why = Focusable(w); !why.empty()) return why;
    if (std::string why = ReachFocus(w); !why.empty()) return why;
    WORD vk = 0;
    TShiftState shift;
    if (ParseNamedKey(key, vk, shift))
        return Act([&] { return w->UserKey(vk, shift); }, Describe(c) + " não aceitou a tecla " + key);
    return Act([&] { return w->UserChar(key); }, Describe(c) + " não aceitou a tecla " + key);
}

std::string ClickControl(TComponent* c) {
    if (auto* m = dynamic_cast<TMenuItem*>(c)) {
        for (TMenuItem* p = m; p; p = p->Parent())
            if (!p->Enabled || !p->Visible) return "o comando de menu " + m->Name + " está desabilitado ou oculto";
        return Act([m] { return m->UserClick(); }, "o comando de menu " + m->Name + " recusou o clique");
    }
    if (auto* sheet = dynamic_cast<TTabSheet*>(c)) {
        TPageControl* pc = sheet->PageControl();
        if (!pc) return "a aba " + sheet->Name + " não pertence a um controle de páginas";
        if (!sheet->TabVisible || !sheet->Enabled) return "a aba " + sheet->Name + " está oculta ou desabilitada";
        if (std::string why = Focusable(pc); !why.empty()) return why;
        Dispatch([pc, sheet] { pc->UserSelectPage(sheet); });
        return {};
    }
    auto* ctl = dynamic_cast<TControl*>(c);
    if (!ctl) return Describe(c) + " não pode ser clicado";
    if (std::string why = Reachable(ctl); !why.empty()) return why;
    // A click on a control that takes the focus lands only where the focus
    // can go; a tool button takes no focus and is clicked as it stands.
    if (auto* w = dynamic_cast<TWinControl*>(ctl); w && w->TabStop && w->CanFocus())
        if (std::string why = ReachFocus(w); !why.empty()) return why;
    Dispatch([ctl] { ctl->UserClick(); });
    return {};
}

std::string DblClickControl(TComponent* c) {
    auto* ctl = dynamic_cast<TControl*>(c);
    if (!ctl) return Describe(c) + " não aceita duplo clique";
    if (std::string why = Reachable(ctl); !why.empty()) return why;
    if (auto* w = dynamic_cast<TWinControl*>(ctl); w && w->CanFocus())
        if (std::string why = ReachFocus(w); !why.empty()) return why;
    Dispatch([ctl] { ctl->UserDblClick(); });
    return {};
}

std::string CloseForm(TComponent* c) {
    auto* f = dynamic_cast<TForm*>(c);
    if (!f) return Describe(c) + " não é um formulário";
    if (!f->Visible) return "o formulário " + f->Name + " não está aberto";
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
    if (std::string why = Focusable(g); !why.empty()) return why;
    if (std::string why = ReachFocus(g); !why.empty()) return why;
    // A column exit handler that keeps the column is the screen's refusal.
    Dispatch([g, &field] { g->UserSelectField(field); });
    return {};
}

std::string GridMoveToRow(TDBGrid* g, int row) {
    if (std::string why = Focusable(g); !why.empty()) return why;
    if (row < 1 || row > g->RowCount())
        return "a grade " + g->Name + " não tem a linha " + std::to_string(row) + " (" + std::to_string(g->RowCount()) +
               " linha(s))";
    if (std::string why = ReachFocus(g); !why.empty()) return why;
    Dispatch([g, row] { g->UserMoveToRow(row - 1); });
    return {};
}

std::string GridTypeCell(TDBGrid* g, const std::string& field, const std::string& text) {
    int index = -1;
    if (std::string why = ColumnOf(g, field, index); !why.empty()) return why;
    if (std::string why = Focusable(g); !why.empty()) return why;
    if (std::string why = ReachFocus(g); !why.empty()) return why;
    // Selecting the column already selected would write the editor's text
    // (a refused value) again before it can be typed over.
    if (g->SelectedIndex() != index) Dispatch([g, &field] { g->UserSelectField(field); });
    if (g->SelectedIndex() != index) {
        const TField* kept = g->SelectedField();
        return "não executado: a coluna ficou em " + (kept ? kept->FieldName() : std::string("nenhuma"));
    }
    EmptyCellEditor(g);
    return Act([g, &text] { return g->UserTypeCell(text); },
               "a célula " + field + " de " + g->Name + " não pode ser editada");
}

std::string GridEditButton(TDBGrid* g) {
    if (std::string why = Focusable(g); !why.empty()) return why;
    if (std::string why = ReachFocus(g); !why.empty()) return why;
    return Act([g] { return g->UserEditButton(); },
               "a coluna selecionada de " + g->Name + " não tem botão de reticências");
}

}  // namespace drive
