// A loosely typed value, as fields, query parameters, server arguments and
// packet cells carry it. Null is a value of its own (an empty field, a nil on
// the wire); a date-time travels as a double of TDateTime days.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

class Variant {
public:
    enum class Kind { Null, Boolean, Integer, Float, String };

    Variant() = default;
    Variant(std::nullptr_t) {}
    Variant(bool b) : v_(b) {}
    Variant(int i) : v_(static_cast<std::int64_t>(i)) {}
    Variant(std::int64_t i) : v_(i) {}
    Variant(double d) : v_(d) {}
    Variant(const char* s) : v_(std::string(s)) {}
    Variant(std::string s) : v_(std::move(s)) {}

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool IsNull() const { return v_.index() == 0; }

    // Conversions follow the framework: a null reads as "", 0 or false; a
    // text that is not a number reads as 0 through AsFloat (callers that must
    // refuse bad numbers test with TryAsFloat).
    std::string AsString() const;
    double AsFloat() const;
    std::int64_t AsInteger() const;
    bool AsBoolean() const;
    bool TryAsFloat(double& out) const;

    const std::string* string_if() const { return std::get_if<std::string>(&v_); }

    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }
    friend bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string> v_;
};
