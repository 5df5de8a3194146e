// The rows of a listing, kept in a temporary file rather than in memory: the
// query runs once, its rows are written here as they arrive, and the pages
// are laid out and drawn by reading them again (as often as needed, from any
// row a page starts at). Memory stays one row whatever the listing's size.
//
// Record format (host byte order; the file never leaves the process):
//   row   := cell*            one cell per field of the definition
//   cell  := tag payload      tag 0 null, 1 boolean (1 byte), 2 integer
//                             (8 bytes), 3 double (8 bytes), 4 text (4-byte
//                             length, then the UTF-8 bytes)
// The file is unlinked at creation: it vanishes with the process.
#pragma once

#include "platform/data/variant.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace report {

class TRowSpool {
public:
    explicit TRowSpool(std::size_t columns);  // raises EReportError without a temporary file
    ~TRowSpool();
    TRowSpool(const TRowSpool&) = delete;
    TRowSpool& operator=(const TRowSpool&) = delete;

    void Append(const std::vector<Variant>& row);
    std::size_t Columns() const { return columns_; }
    std::int64_t RowCount() const { return rows_; }
    std::int64_t Bytes() const { return end_; }

    // Reading: position 0 is the first row; Read fills `row` and moves on,
    // false at the end. A reader keeps its own position, so the preview and
    // an export may read the same spool one after the other.
    class TReader {
    public:
        explicit TReader(const TRowSpool& spool, std::int64_t position = 0);
        bool Read(std::vector<Variant>& row);
        std::int64_t Position() const { return pos_; }
        void Seek(std::int64_t position) { pos_ = position; }

    private:
        const TRowSpool& spool_;
        std::int64_t pos_;
    };

private:
    std::FILE* file_;
    std::size_t columns_;
    std::int64_t rows_ = 0;
    std::int64_t end_ = 0;
    mutable std::int64_t filePos_ = 0;  // where the stream stands
    mutable bool writing_ = true;

    void position(std::int64_t at, bool writing) const;
    void put(const void* data, std::size_t n);
    bool get(void* data, std::size_t n) const;
};

}  // namespace report
