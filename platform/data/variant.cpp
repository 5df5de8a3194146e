#include "platform/data/variant.h"

#include "platform/data/format.h"
#include "platform/data/text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// 15 significant digits, as the framework shows a double, with the
// settings' decimal separator.
std::string generalFloat(double d) {
    if (std::isnan(d)) return "NAN";
    if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    std::string s = buf;
    if (s == "-0") s = "0";
    for (char& c : s)
        if (c == '.') c = FormatSettings().DecimalSeparator;
    return s;
}

}  // namespace

std::string Variant::AsString() const {
    switch (kind()) {
    case Kind::Null: return {};
    case Kind::Boolean: return std::get<bool>(v_) ? "True" : "False";
    case Kind::Integer: return std::to_string(std::get<std::int64_t>(v_));
    case Kind::Float: return generalFloat(std::get<double>(v_));
    case Kind::String: return std::get<std::string>(v_);
    }
    return {};
}

bool Variant::TryAsFloat(double& out) const {
    switch (kind()) {
    case Kind::Null: return false;
    case Kind::Boolean: out = std::get<bool>(v_) ? 1.0 : 0.0; return true;
    case Kind::Integer: out = static_cast<double>(std::get<std::int64_t>(v_)); return true;
    case Kind::Float: out = std::get<double>(v_); return true;
    case Kind::String: return TryStrToFloat(Trim(std::get<std::string>(v_)), out);
    }
    return false;
}

double Variant::AsFloat() const {
    double d = 0;
    return TryAsFloat(d) ? d : 0.0;
}

std::int64_t Variant::AsInteger() const {
    switch (kind()) {
    case Kind::Integer: return std::get<std::int64_t>(v_);
    case Kind::Boolean: return std::get<bool>(v_) ? 1 : 0;
    default: break;
    }
    double d = 0;
    if (!TryAsFloat(d) || std::isnan(d)) return 0;
    const double lim = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    if (d >= lim) return std::numeric_limits<std::int64_t>::max();
    if (d <= -lim) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(std::llround(d));
}

bool Variant::AsBoolean() const {
    switch (kind()) {
    case Kind::Null: return false;
    case Kind::Boolean: return std::get<bool>(v_);
    case Kind::Integer: return std::get<std::int64_t>(v_) != 0;
    case Kind::Float: return std::get<double>(v_) != 0.0;
    case Kind::String: {
        std::string s = LowerCase(Trim(std::get<std::string>(v_)));
        if (s == "true" || s == "s" || s == "sim" || s == "t") return true;
        if (s == "false" || s == "n" || s == "nao" || s == "f" || s.empty()) return false;
        double d = 0;
        return TryAsFloat(d) && d != 0.0;
    }
    }
    return false;
}
