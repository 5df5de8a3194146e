// Reading entry lines as cdsLancCont records: the stored line joined with its
// account (name, reduced code, cost-centre kind, commercial type).
#pragma once

#include "platform/data/packet.h"

#include <soci/soci.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ctbstore {

// One line as read: every column as text (dates too) plus the cents. Column
// positions follow cdsLancCont's 25 fields.
struct TLineRecord {
    static constexpr int kColumns = 25;
    static constexpr int kValue = 10;  // VRLANCAMENT
    enum Col {
        CDFILLANC,
        CDEMPRESA,
        NRLANCCONT,
        NRSEQLANC,
        CDHISTPADR,
        CDCONTCTBL,
        DTLANCCONT,
        CDDOCUCONT,
        IDTIPOLANC,
        DSHISTLANC,
        VRLANCAMENT,
        IDLANCCOME,
        IDLANCSALDO,
        IDLANCINTE,
        IDLANCMANI,
        NMCONTCTBL,
        CDCONTREDU,
        CDCONTCOME,
        IDCONTCCUS,
        IDTIPOCOME,
        CDOPERINS,
        DTULTATULAN,
        IDSALDLANCO,
        IDSALDLANGE,
        IDSISTEMA
    };
    std::array<std::string, kColumns> Text;
    std::array<soci::indicator, kColumns> Ind{};
    long long Cents = 0;

    const std::string& Get(Col c) const { return Text[c]; }
    TPacketRow ToRow() const;
};

// One line read in place (valid during the callback that receives it): the
// texts as views, which columns are null, and the cents.
struct TLineView {
    std::array<std::string_view, TLineRecord::kColumns> Text{};
    std::array<bool, TLineRecord::kColumns> Null{};
    long long Cents = 0;

    std::string_view Get(TLineRecord::Col c) const { return Text[c]; }
};

TLineView ViewOf(const TLineRecord& r);
// The line as cdsLancCont's 25 cells (dates as TDateTime days, the value as
// an amount), appended in packet/wire form; and as a row of values.
void AppendLineCells(std::string& out, const TLineView& line);
TPacketRow LineRow(const TLineView& line);

// A named parameter of a line query.
struct TLineParam {
    std::string Name;
    std::string Value;
};

// Runs "SELECT <line columns> FROM LANCCONT L LEFT JOIN CONTCTBL C ... WHERE
// <where> ORDER BY L.NRLANCCONT, L.NRSEQLANC" and calls onRow for each line.
// The where text uses only the named parameters given.
void ReadLines(soci::session& sql, const std::string& where, const std::vector<TLineParam>& params,
               const std::function<void(const TLineRecord&)>& onRow);

// As ReadLines, reading each line in place: on SQLite through its own
// statement API (no column is copied), elsewhere through ReadLines.
void ScanLines(soci::session& sql, const std::string& where, const std::vector<TLineParam>& params,
               const std::function<void(const TLineView&)>& onRow);

// Every line of one entry, in sequence order.
void ReadEntryLines(soci::session& sql, const std::string& empresa, const std::string& nrLanc,
                    const std::function<void(const TLineRecord&)>& onRow);

}  // namespace ctbstore
