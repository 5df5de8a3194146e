#include "platform/report/spool.h"

#include "platform/report/report_error.h"

#include <cstring>
#include <string>

namespace report {

TRowSpool::TRowSpool(std::size_t columns) : file_(std::tmpfile()), columns_(columns) {
    if (!file_) throw EReportError("Não foi possível criar o arquivo temporário do relatório.");
    std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
}

TRowSpool::~TRowSpool() { std::fclose(file_); }

// A stdio stream must be repositioned between a write and a read; the
// position is tracked so that reading on from where the last read ended
// costs no seek.
void TRowSpool::position(std::int64_t at, bool writing) const {
    if (at == filePos_ && writing == writing_) return;
    if (fseeko(file_, static_cast<off_t>(at), SEEK_SET) != 0)
        throw EReportError("Erro ao posicionar o arquivo temporário do relatório.");
    filePos_ = at;
    writing_ = writing;
}

void TRowSpool::put(const void* data, std::size_t n) {
    if (std::fwrite(data, 1, n, file_) != n)
        throw EReportError("Erro ao gravar o arquivo temporário do relatório (disco cheio?).");
    filePos_ += static_cast<std::int64_t>(n);
}

bool TRowSpool::get(void* data, std::size_t n) const {
    if (std::fread(data, 1, n, file_) != n) return false;
    filePos_ += static_cast<std::int64_t>(n);
    return true;
}

void TRowSpool::Append(const std::vector<Variant>& row) {
    position(end_, true);
    for (std::size_t c = 0; c < columns_; ++c) {
        const Variant& v = c < row.size() ? row[c] : Variant();
        const auto tag = static_cast<unsigned char>(v.kind());
        put(&tag, 1);
        switch (v.kind()) {
        case Variant::Kind::Null: break;
        case Variant::Kind::Boolean: {
            const unsigned char b = v.AsBoolean() ? 1 : 0;
            put(&b, 1);
            break;
        }
        case Variant::Kind::Integer: {
            const std::int64_t i = v.AsInteger();
            put(&i, sizeof i);
            break;
        }
        case Variant::Kind::Float: {
            const double d = v.AsFloat();
            put(&d, sizeof d);
            break;
        }
        case Variant::Kind::String: {
            const std::string& s = *v.string_if();
            const auto n = static_cast<std::uint32_t>(s.size());
            put(&n, sizeof n);
            put(s.data(), s.size());
            break;
        }
        }
    }
    end_ = filePos_;
    ++rows_;
}

TRowSpool::TReader::TReader(const TRowSpool& spool, std::int64_t position) : spool_(spool), pos_(position) {}

bool TRowSpool::TReader::Read(std::vector<Variant>& row) {
    if (pos_ >= spool_.end_) return false;
    spool_.position(pos_, false);
    row.resize(spool_.columns_);
    const auto corrupt = [] { return EReportError("Arquivo temporário do relatório corrompido."); };
    for (std::size_t c = 0; c < spool_.columns_; ++c) {
        unsigned char tag = 0;
        if (!spool_.get(&tag, 1)) throw corrupt();
        switch (static_cast<Variant::Kind>(tag)) {
        case Variant::Kind::Null: row[c] = Variant(); break;
        case Variant::Kind::Boolean: {
            unsigned char b = 0;
            if (!spool_.get(&b, 1)) throw corrupt();
            row[c] = Variant(b != 0);
            break;
        }
        case Variant::Kind::Integer: {
            std::int64_t i = 0;
            if (!spool_.get(&i, sizeof i)) throw corrupt();
            row[c] = Variant(i);
            break;
        }
        case Variant::Kind::Float: {
            double d = 0;
            if (!spool_.get(&d, sizeof d)) throw corrupt();
            row[c] = Variant(d);
            break;
        }
        case Variant::Kind::String: {
            std::uint32_t n = 0;
            if (!spool_.get(&n, sizeof n)) throw corrupt();
            std::string s(n, '\0');
            if (n && !spool_.get(s.data(), n)) throw corrupt();
            row[c] = Variant(std::move(s));
            break;
        }
        default: throw corrupt();
        }
    }
    pos_ = spool_.filePos_;
    return true;
}

}  // namespace report
