// Properties and dumps of forms, controls, grids and menu commands.
#include "host/drive/readout.h"

#include "contracts/published.h"
#include "platform/data/datasource.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/grid.h"

#include <cstdio>
#include <sstream>

namespace drive {
namespace {

const char* WindowStateName(TWindowState s) {
    switch (s) {
    case wsNormal: return "wsNormal";
    case wsMinimized: return "wsMinimized";
    case wsMaximized: return "wsMaximized";
    }
    return "?";
}

const char* FormStyleName(TFormStyle s) {
    switch (s) {
    case fsNormal: return "fsNormal";
    case fsMDIChild: return "fsMDIChild";
    case fsMDIForm: return "fsMDIForm";
    case fsStayOnTop: return "fsStayOnTop";
    }
    return "?";
}

std::string NumberText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

std::string GridColumns(const TDBGrid* g) {
    std::string out;
    for (int i = 0; i < g->Columns->Count(); ++i) {
        const TColumn* c = g->Columns->Items(i);
        if (!c->Visible) continue;
        out += (out.empty() ? "" : ",") + c->FieldName;
    }
    return out;
}

// Text of the controls that have one; empty optional when they have none.
bool ControlText(const TComponent* c, std::string& out) {
    if (auto* e = dynamic_cast<const TCustomEdit*>(c)) {
        out = e->Text();
        return true;
    }
    if (auto* cb = dynamic_cast<const TComboBox*>(c)) {
        out = cb->Text();
        return true;
    }
    if (auto* g = dynamic_cast<const TDBGrid*>(c)) {
        out = g->Row() >= 0 && g->SelectedIndex() >= 0 ? g->CellText(g->Row(), g->SelectedIndex()) : "";
        return true;
    }
    if (auto* l = dynamic_cast<const TLabel*>(c)) {
        out = l->Caption;
        return true;
    }
    return false;
}

Reading ReadForm(TForm* f, const std::string& p) {
    if (SameText(p, "WindowState")) return Reading::Value(WindowStateName(f->WindowState));
    if (SameText(p, "FormStyle")) return Reading::Value(FormStyleName(f->FormStyle));
    if (SameText(p, "Modal")) return Reading::Value(BoolText(f->Modal()));
    if (SameText(p, "ActiveControl")) return Reading::Value(f->ActiveControl() ? f->ActiveControl()->Name : "");
    auto* pub = dynamic_cast<TPublishedMembers*>(f);
    if (SameText(p, "Instance")) {
        if (!pub) return Reading::Error(f->Name + " não numera as suas instâncias");
        return Reading::Value(std::to_string(pub->Instance()));
    }
    std::string value;
    if (pub && pub->ReadMember(p, value)) return Reading::Value(value);
    return Reading::Error("");  // not a form property: the control properties may answer
}

Reading ReadMenuItem(const TMenuItem* m, const std::string& p) {
    if (SameText(p, "Enabled")) return Reading::Value(BoolText(m->Enabled));
    if (SameText(p, "Visible")) return Reading::Value(BoolText(m->Visible));
    if (SameText(p, "Checked")) return Reading::Value(BoolText(m->Checked));
    if (SameText(p, "Caption")) return Reading::Value(m->Caption);
    if (SameText(p, "Hint")) return Reading::Value(m->Hint);
    return Reading::Error("o comando de menu " + m->Name + " não tem a propriedade " + p);
}

Reading ReadGrid(const TDBGrid* g, const std::string& p) {
    if (SameText(p, "Columns")) return Reading::Value(GridColumns(g));
    if (SameText(p, "SelectedField")) return Reading::Value(g->SelectedField() ? g->SelectedField()->FieldName() : "");
    if (SameText(p, "RowCount")) return Reading::Value(std::to_string(g->RowCount()));
    if (SameText(p, "Row")) return Reading::Value(std::to_string(g->Row() + 1));
    if (SameText(p, "EditorActive")) return Reading::Value(BoolText(g->EditorActive()));
    return Reading::Error("");
}

Reading ReadControlSpecific(TControl* c, const std::string& p) {
    if (SameText(p, "Checked")) {
        if (auto* r = dynamic_cast<TRadioButton*>(c)) return Reading::Value(BoolText(r->Checked()));
        if (auto* k = dynamic_cast<TCheckBox*>(c)) return Reading::Value(BoolText(k->Checked()));
        if (auto* s = dynamic_cast<TSpeedButton*>(c)) return Reading::Value(BoolText(s->Down));
        return Reading::Error(c->Name + " não se marca");
    }
    if (SameText(p, "Number")) {
        if (auto* n = dynamic_cast<TNumberEdit*>(c)) return Reading::Value(NumberText(n->Number()));
        return Reading::Error(c->Name + " não é um campo numérico");
    }
    if (SameText(p, "Date")) {
        if (auto* d = dynamic_cast<TDateEditPlus*>(c)) return Reading::Value(DateToStr(d->Date()));
        return Reading::Error(c->Name + " não é um campo de data");
    }
    if (SameText(p, "ActivePage")) {
        if (auto* pc = dynamic_cast<TPageControl*>(c))
            return Reading::Value(pc->ActivePage() ? pc->ActivePage()->Name : "");
        return Reading::Error(c->Name + " não é um controle de páginas");
    }
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) {
        if (SameText(p, "ReadOnly")) return Reading::Value(BoolText(e->ReadOnly));
        if (SameText(p, "MaxLength")) return Reading::Value(std::to_string(e->MaxLength));
        if (SameText(p, "DisplayText")) return Reading::Value(e->DisplayText());
        if (auto* m = dynamic_cast<TMaskEdit*>(c); m && SameText(p, "EditMask")) return Reading::Value(m->EditMask());
    }
    if (auto* cb = dynamic_cast<TComboBox*>(c); cb && SameText(p, "ItemIndex"))
        return Reading::Value(std::to_string(cb->ItemIndex()));
    return Reading::Error(std::string(c->ClassName()) + " " + c->Name + " não tem a propriedade " + p);
}

Reading ReadControl(TControl* c, const std::string& p) {
    if (auto* f = dynamic_cast<TForm*>(c)) {
        Reading r = ReadForm(f, p);
        if (r.ok || !r.error.empty()) return r;
    }
    if (auto* g = dynamic_cast<TDBGrid*>(c)) {
        Reading r = ReadGrid(g, p);
        if (r.ok) return r;
    }
    if (SameText(p, "Enabled")) return Reading::Value(BoolText(c->Enabled));
    if (SameText(p, "Visible")) return Reading::Value(BoolText(c->Visible));
    if (SameText(p, "Showing")) return Reading::Value(BoolText(c->Showing()));
    if (SameText(p, "Caption")) return Reading::Value(c->Caption);
    if (SameText(p, "Hint")) return Reading::Value(c->Hint);
    if (SameText(p, "Tag")) return Reading::Value(std::to_string(c->Tag));
    if (SameText(p, "ClassName")) return Reading::Value(c->ClassName());
    if (SameText(p, "Focused")) {
        auto* w = dynamic_cast<TWinControl*>(c);
        return Reading::Value(BoolText(w && w->Focused()));
    }
    if (SameText(p, "Text")) {
        std::string text;
        if (ControlText(c, text)) return Reading::Value(text);
        return Reading::Error(std::string(c->ClassName()) + " " + c->Name + " não tem texto");
    }
    if (auto* f = dynamic_cast<TForm*>(c); f && !dynamic_cast<TPublishedMembers*>(f))
        return Reading::Error(f->Name + " não tem a propriedade " + p);
    return ReadControlSpecific(c, p);
}

void DumpControlLine(std::ostringstream& out, TControl* c, int depth) {
    out << std::string(static_cast<std::size_t>(depth) * 2, ' ') << c->ClassName() << ' ' << c->Name;
    std::string text;
    if (!dynamic_cast<TForm*>(c) && ControlText(c, text)) out << " text=\"" << text << '"';
    else if (!c->Caption.empty()) out << " caption=\"" << c->Caption << '"';
    if (!c->Enabled) out << " desabilitado";
    if (!c->Visible) out << " oculto";
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Focused()) out << " com-foco";
    if (auto* r = dynamic_cast<TRadioButton*>(c); r && r->Checked()) out << " marcado";
    if (auto* k = dynamic_cast<TCheckBox*>(c); k && k->Checked()) out << " marcado";
    if (auto* pc = dynamic_cast<TPageControl*>(c); pc && pc->ActivePage()) out << " página=" << pc->ActivePage()->Name;
    out << '\n';
    if (auto* w = dynamic_cast<TWinControl*>(c); w && !dynamic_cast<TDBGrid*>(c))
        for (int i = 0; i < w->ControlCount(); ++i) DumpControlLine(out, w->Controls(i), depth + 1);
}

std::string DumpGrid(const TDBGrid* g) {
    std::ostringstream out;
    out << "TDBGrid " << g->Name << ": " << g->RowCount() << " linha(s), linha " << g->Row() + 1 << ", coluna "
        << (g->SelectedField() ? g->SelectedField()->FieldName() : "-")
        << (g->EditorActive() ? ", editando \"" + g->EditorText() + "\"" : std::string()) << "\n  ";
    for (int i = 0; i < g->Columns->Count(); ++i)
        out << (i ? " | " : "") << g->Columns->Items(i)->FieldName << (g->Columns->Items(i)->Visible ? "" : "(oculta)");
    out << '\n';
    for (int r = 0; r < g->RowCount() && r < 40; ++r) {
        out << (r == g->Row() ? "> " : "  ");
        for (int i = 0; i < g->Columns->Count(); ++i) out << (i ? " | " : "") << g->CellText(r, i);
        out << '\n';
    }
    return out.str();
}

std::string DumpForm(TForm* f) {
    std::ostringstream out;
    out << "formulário " << f->Name << " \"" << f->Caption << "\" " << (f->Visible ? "visível" : "oculto")
        << (f->Modal() ? " modal" : "") << ' ' << WindowStateName(f->WindowState);
    if (auto* pub = dynamic_cast<TPublishedMembers*>(f)) {
        out << " instância " << pub->Instance() << '\n';
        for (const std::string& m : pub->MemberNames()) {
            std::string v;
            pub->ReadMember(m, v);
            out << "  " << m << " = " << v << '\n';
        }
    } else {
        out << '\n';
    }
    for (int i = 0; i < f->ControlCount(); ++i) DumpControlLine(out, f->Controls(i), 1);
    return out.str();
}

}  // namespace

Reading ReadProperty(TComponent* c, const std::vector<std::string>& path) {
    if (path.empty()) return Reading::Error("falta a propriedade");
    if (auto* src = dynamic_cast<TDataSource*>(c)) {
        if (!src->DataSet()) return Reading::Error(src->Name + " não tem conjunto de dados");
        return ReadDataSet(src->DataSet(), path);
    }
    if (auto* ds = dynamic_cast<TDataSet*>(c)) return ReadDataSet(ds, path);
    if (path.size() > 1) {
        // A published member may have a dotted name (a record's field).
        std::string joined = path[0], value;
        for (std::size_t i = 1; i < path.size(); ++i) joined += "." + path[i];
        auto* pub = dynamic_cast<TPublishedMembers*>(c);
        if (pub && pub->ReadMember(joined, value)) return Reading::Value(value);
        return Reading::Error("propriedade desconhecida " + joined + " de " + c->Name);
    }
    if (auto* m = dynamic_cast<TMenuItem*>(c)) return ReadMenuItem(m, path[0]);
    if (auto* ctl = dynamic_cast<TControl*>(c)) return ReadControl(ctl, path[0]);
    return Reading::Error(c->Name + " não tem propriedades legíveis");
}

std::string Dump(TComponent* c) {
    if (auto* src = dynamic_cast<TDataSource*>(c); src && src->DataSet()) return DumpDataSet(src->DataSet());
    if (auto* ds = dynamic_cast<TDataSet*>(c)) return DumpDataSet(ds);
    if (auto* g = dynamic_cast<TDBGrid*>(c)) return DumpGrid(g);
    if (auto* f = dynamic_cast<TForm*>(c)) return DumpForm(f);
    if (auto* m = dynamic_cast<TMenuItem*>(c))
        return "TMenuItem " + m->Name + " caption=\"" + m->Caption + "\"" + (m->Enabled ? "" : " desabilitado") +
               (m->Visible ? "" : " oculto") + "\n";
    std::ostringstream out;
    if (auto* ctl = dynamic_cast<TControl*>(c)) DumpControlLine(out, ctl, 0);
    else out << c->Name << '\n';
    return out.str();
}

}  // namespace drive
