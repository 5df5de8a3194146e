// The stored form of entry lines and apportionment lines, and the prepared
// inserts that write them (used by the save and by the demo generator).
#pragma once

#include <soci/soci.h>

#include <cstdint>
#include <memory>
#include <string>

namespace ctbstore {

// One row of LANCCONT; dates as SQL text ('YYYY-MM-DD', stamp with time).
struct TStoredLine {
    std::string Empresa, NrLanc, NrSeq, FilLanc, HistPadr, ContCtbl, DtLanc, Docu;
    std::string TipoLanc, DsHist;
    std::int64_t Cents = 0;
    std::string LancCome, LancSaldo, LancInte, LancMani, ContCome, OperIns, UltAtu;
    std::string SaldLanco, SaldLange, Sistema;
};

// One row of LANCCCUSTO; an empty DtComp is stored as NULL.
struct TStoredRateio {
    std::string Empresa, NrLanc, NrSeq, Filial, CentCust;
    std::int64_t Cents = 0;
    std::string DtComp;
};

// Prepared once per session use; each Insert binds one row and runs.
class TEntryWriter {
public:
    explicit TEntryWriter(soci::session& sql);
    ~TEntryWriter();
    void Insert(const TStoredLine& line);
    void Insert(const TStoredRateio& rateio);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ctbstore
