// A value that crosses the wire between the module and the application server:
// a scalar (string, double, boolean, nil; integers too), a data packet, or an
// array of values (ValidaMapa answers [status, packet]).
#pragma once

#include "platform/data/packet.h"
#include "platform/data/variant.h"
#include "platform/net/error_kind.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

class TRpcValue {
public:
    using Array = std::vector<TRpcValue>;

    TRpcValue() = default;
    TRpcValue(Variant v) : v_(std::move(v)) {}
    TRpcValue(const char* s) : v_(Variant(s)) {}
    TRpcValue(std::string s) : v_(Variant(std::move(s))) {}
    TRpcValue(int i) : v_(Variant(i)) {}
    TRpcValue(std::int64_t i) : v_(Variant(i)) {}
    TRpcValue(double d) : v_(Variant(d)) {}
    TRpcValue(bool b) : v_(Variant(b)) {}
    TRpcValue(TDataPacket p) : v_(std::move(p)) {}
    TRpcValue(Array a) : v_(std::move(a)) {}

    bool IsScalar() const { return v_.index() == 0; }
    bool IsPacket() const { return v_.index() == 1; }
    bool IsArray() const { return v_.index() == 2; }

    // Accessors throw ERpcError("tipo", ...) when the value is of another kind,
    // so a handler never reads a packet where a text was sent.
    const Variant& Scalar() const;
    Variant& Scalar();
    const TDataPacket& Packet() const;
    const Array& Items() const;

private:
    std::variant<Variant, TDataPacket, Array> v_;
};

// An error answer: code is a short machine-readable word (WireCode of its
// kind; one read from the wire is kept as it came), message is Portuguese and
// fit to show a bookkeeper.
class ERpcError : public std::runtime_error {
public:
    ERpcError(TErrorKind kind, const std::string& message) : ERpcError(WireCode(kind), message) {}
    ERpcError(std::string code, const std::string& message) : std::runtime_error(message), code_(std::move(code)) {}
    const std::string& Code() const { return code_; }

private:
    std::string code_;
};
