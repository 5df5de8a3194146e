#include "platform/data/field.h"

#include "platform/data/dataset.h"
#include "platform/data/format.h"

#include <cmath>

namespace {

bool blankDateText(const std::string& s) {
    for (char c : s)
        if (c != ' ' && c != '/' && c != ':' && c != '_' && c != '.') return false;
    return true;
}

[[noreturn]] void badText(const TField& f, const std::string& text, const char* kind) {
    throw EDatabaseError("'" + text + "' não é " + kind + " válido para o campo '" + f.DisplayName() + "'.");
}

}  // namespace

TField::TField(TDataSet* dataSet, int index, std::string fieldName, TFieldType type, int size)
    : dataSet_(dataSet), index_(index), fieldName_(std::move(fieldName)), dataType_(type), size_(size) {}

int TField::GetDisplayWidth() const {
    if (DisplayWidth > 0) return DisplayWidth;
    switch (dataType_) {
    case TFieldType::ftString: return size_ > 0 ? size_ : 20;
    case TFieldType::ftDateTime: return 10;
    case TFieldType::ftBoolean: return 5;
    default: return 10;
    }
}

Variant TField::Value() const { return dataSet_->GetFieldValue(index_); }

void TField::SetValue(const Variant& v) { dataSet_->SetFieldValue(index_, Coerce(v)); }

Variant TField::Coerce(const Variant& v) const {
    if (v.IsNull()) return v;
    switch (dataType_) {
    case TFieldType::ftString: {
        std::string s = v.AsString();
        if (s.empty()) return Variant();  // an empty text is stored as null
        if (size_ > 0 && s.size() > static_cast<std::size_t>(size_)) s = Utf8Left(s, static_cast<std::size_t>(size_));
        return s;
    }
    case TFieldType::ftFloat: {
        double d = 0;
        if (!v.TryAsFloat(d)) badText(*this, v.AsString(), "um valor numérico");
        return d;
    }
    case TFieldType::ftInteger: {
        double d = 0;
        if (v.kind() == Variant::Kind::Integer) return v;
        if (!v.TryAsFloat(d) || d != std::trunc(d) || std::fabs(d) > 9.0e18)
            badText(*this, v.AsString(), "um número inteiro");
        return static_cast<std::int64_t>(d);
    }
    case TFieldType::ftBoolean: return v.AsBoolean();
    case TFieldType::ftDateTime: {
        if (const std::string* s = v.string_if()) {
            TDateTime dt = 0;
            if (blankDateText(*s)) return Variant();
            if (!TryStrToDate(*s, dt)) badText(*this, *s, "uma data");
            return dt;
        }
        double d = 0;
        if (!v.TryAsFloat(d) || !std::isfinite(d)) badText(*this, v.AsString(), "uma data");
        if (d == 0) return Variant();  // zero is "no date"
        return d;
    }
    }
    return v;
}

std::string TField::AsString() const {
    const Variant v = Value();
    if (dataType_ == TFieldType::ftDateTime && !v.IsNull()) return FormatValue(v, false);
    return v.AsString();
}
double TField::AsFloat() const { return Value().AsFloat(); }
std::int64_t TField::AsInteger() const { return Value().AsInteger(); }
bool TField::AsBoolean() const { return Value().AsBoolean(); }
TDateTime TField::AsDateTime() const { return Value().AsFloat(); }

void TField::SetAsString(const std::string& s) {
    if (dataType_ != TFieldType::ftString) {
        const std::string t = Trim(s, kBlanks);
        if (t.empty() || (dataType_ == TFieldType::ftDateTime && blankDateText(t))) {
            SetValue(Variant());
            return;
        }
        if (dataType_ == TFieldType::ftFloat || dataType_ == TFieldType::ftInteger) {
            double d = 0;
            if (!TryStrToFloat(t, d)) badText(*this, s, "um valor numérico");
            SetValue(d);
            return;
        }
        SetValue(t);
        return;
    }
    SetValue(s.empty() ? Variant() : Variant(s));
}
void TField::SetAsFloat(double d) { SetValue(d); }
void TField::SetAsInteger(std::int64_t i) { SetValue(i); }
void TField::SetAsBoolean(bool b) { SetValue(b); }
void TField::SetAsDateTime(TDateTime dt) { SetValue(dt); }

std::string TField::FormatValue(const Variant& v, bool displayText) const {
    if (v.IsNull()) return {};
    switch (dataType_) {
    case TFieldType::ftFloat: {
        const std::string& fmt = displayText ? DisplayFormat : EditFormat;
        return FormatFloat(fmt, v.AsFloat());
    }
    case TFieldType::ftDateTime: {
        const double d = v.AsFloat();
        const bool hasTime = d != std::trunc(d);
        return FormatDateTime(hasTime ? "dd/mm/yyyy hh:nn:ss" : "dd/mm/yyyy", d);
    }
    case TFieldType::ftBoolean: return v.AsBoolean() ? "True" : "False";
    default: return v.AsString();
    }
}

std::string TField::DisplayText() const {
    if (OnGetText) {
        std::string handled;
        OnGetText(const_cast<TField*>(this), handled, true);
        return handled;
    }
    return FormatValue(Value(), true);
}

std::string TField::Text() const {
    if (OnGetText) {
        std::string handled;
        OnGetText(const_cast<TField*>(this), handled, false);
        return handled;
    }
    return FormatValue(Value(), false);
}

void TField::FocusControl() { dataSet_->FocusFieldControl(this); }
