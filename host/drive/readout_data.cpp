// Data-set properties and dumps for the driver.
#include "host/drive/readout.h"

#include "platform/data/dataset.h"

#include <algorithm>
#include <sstream>

namespace drive {

std::string BoolText(bool b) { return b ? "true" : "false"; }

namespace {

Reading FieldReading(const TDataSet* ds, const std::vector<std::string>& path) {
    TField* f = ds->FindField(path[0]);
    if (!f) return Reading::Error(ds->Name + " não tem o campo ou a propriedade " + path[0]);
    if (path.size() == 1) return Reading::Value(f->AsString());
    if (path.size() == 2 && SameText(path[1], "DisplayText")) return Reading::Value(f->DisplayText());
    if (path.size() == 2 && SameText(path[1], "Text")) return Reading::Value(f->Text());
    if (path.size() == 2 && SameText(path[1], "IsNull")) return Reading::Value(BoolText(f->IsNull()));
    return Reading::Error("propriedade de campo desconhecida " + path.back() + " de " + ds->Name + "." + path[0]);
}

}  // namespace

Reading ReadDataSet(const TDataSet* ds, const std::vector<std::string>& path) {
    if (path.empty()) return Reading::Error("falta a propriedade do conjunto de dados");
    const std::string& p = path[0];
    if (path.size() == 1) {
        if (SameText(p, "State")) return Reading::Value(DataSetStateName(ds->State()));
        if (SameText(p, "RecordCount")) return Reading::Value(std::to_string(ds->Active() ? ds->RecordCount() : 0));
        if (SameText(p, "Filtered")) return Reading::Value(BoolText(ds->Filtered()));
        if (SameText(p, "Filter")) return Reading::Value(ds->Filter());
        if (SameText(p, "Active")) return Reading::Value(BoolText(ds->Active()));
        if (SameText(p, "IsEmpty")) return Reading::Value(BoolText(!ds->Active() || ds->IsEmpty()));
        if (SameText(p, "RecNo")) return Reading::Value(std::to_string(ds->Active() ? ds->RecNo() : 0));
        if (SameText(p, "ChangeCount")) return Reading::Value(std::to_string(ds->Active() ? ds->ChangeCount() : 0));
        if (SameText(p, "Modified")) return Reading::Value(BoolText(ds->Modified()));
    }
    return FieldReading(ds, path);
}

std::string DumpDataSet(const TDataSet* ds, int maxRows) {
    std::ostringstream out;
    out << ds->Name << ": " << DataSetStateName(ds->State());
    if (!ds->Active()) return out.str() + "\n";
    out << ", " << ds->RecordCount() << " registro(s), atual " << ds->RecNo();
    if (ds->Filtered()) out << ", filtro: " << ds->Filter();
    out << "\n  ";
    for (int i = 0; i < ds->FieldCount(); ++i) out << (i ? " | " : "") << ds->Fields(i)->FieldName();
    out << "\n";
    int rows = std::min(ds->RecordCount(), maxRows);
    for (int r = 0; r < rows; ++r) {
        out << (r + 1 == ds->RecNo() ? "> " : "  ");
        for (int i = 0; i < ds->FieldCount(); ++i) out << (i ? " | " : "") << ds->DisplayTextAt(r, ds->Fields(i));
        out << "\n";
    }
    if (ds->RecordCount() > rows) out << "  ... mais " << ds->RecordCount() - rows << "\n";
    if (ds->State() == dsInsert || ds->State() == dsEdit) {
        out << "  em edição: ";
        for (int i = 0; i < ds->FieldCount(); ++i) out << (i ? " | " : "") << ds->Fields(i)->DisplayText();
        out << "\n";
    }
    return out.str();
}

}  // namespace drive
