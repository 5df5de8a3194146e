// Entries written under load, and the checks that a store is sound after
// it: used by the tests that kill servers, run several of them, or back the
// database up while it is being written.
#pragma once

#include "store_test_util.h"

#include <cstdio>

namespace storetest {

inline constexpr int kLinesPerEntry = 40;

// A balanced entry of company 01 (40 lines unless told), every management
// line apportioned over two branch/cost-centre pairs.
inline void BuildEntry(const std::string& nr, TDataPacket& lines, TDataPacket& rateio, int count = kLinesPerEntry,
                       const std::string& history = "Teste de queda do servidor") {
    lines = TDataPacket(LancContFields());
    rateio = TDataPacket(LancCCustoFields());
    for (int i = 1; i <= count; ++i) {
        char seq[16];
        std::snprintf(seq, sizeof seq, "%05d", i);
        bool debit = i % 2 == 1;
        double value = debit ? -(100.0 + i) : (100.0 + i - 1);
        TPacketRow row(lines.Fields().size());
        auto set = [&](const char* f, Variant v) { row[static_cast<std::size_t>(lines.FieldIndex(f))] = std::move(v); };
        set("CDEMPRESA", "01");
        set("NRLANCCONT", nr);
        set("NRSEQLANC", seq);
        set("CDCONTCTBL", debit ? "4110100004" : "1110100001");
        set("CDHISTPADR", "0005");
        set("CDDOCUCONT", "QUEDA");
        set("DTLANCCONT", D(kYear, 7, 15));
        set("VRLANCAMENT", value);
        set("DSHISTLANC", history);
        lines.AppendRow(std::move(row));
        if (debit) {
            rateio.AppendRow({Variant("01"), Variant(nr), Variant(seq), Variant("0001"), Variant("1001"),
                              Variant(-100.0), Variant(), Variant(), Variant(D(kYear, 7, 15))});
            rateio.AppendRow({Variant("01"), Variant(nr), Variant(seq), Variant("0002"), Variant("2001"),
                              Variant(value + 100.0), Variant(), Variant(), Variant(D(kYear, 7, 15))});
        }
    }
}

// Every entry balanced, every test entry whole, every apportionment adding up
// to its line and belonging to one; on SQLite the file passes its integrity
// check.
inline void ExpectSoundStore(const std::string& db) {
    if (!OnPostgres()) {
        auto session = OpenTestSession(db);
        std::string integrity;
        *session << "PRAGMA integrity_check", soci::into(integrity);
        EXPECT_EQ(integrity, "ok");
    }
    EXPECT_EQ(Scalar(db,
                     "SELECT COUNT(*) FROM (SELECT NRLANCCONT FROM LANCCONT"
                     " GROUP BY CDEMPRESA, NRLANCCONT HAVING SUM(VRLANCAMENT) <> 0) X"),
              0);
    EXPECT_EQ(Scalar(db,
                     "SELECT COUNT(*) FROM (SELECT NRLANCCONT FROM LANCCONT WHERE"
                     " DSHISTLANC = 'Teste de queda do servidor' GROUP BY NRLANCCONT"
                     " HAVING COUNT(*) <> 40) X"),
              0);
    EXPECT_EQ(Scalar(db,
                     "SELECT COUNT(*) FROM (SELECT L.NRSEQLANC FROM LANCCONT L JOIN LANCCCUSTO R"
                     " ON R.CDEMPRESA = L.CDEMPRESA AND R.NRLANCCONT = L.NRLANCCONT AND"
                     " R.NRSEQLANC = L.NRSEQLANC GROUP BY L.CDEMPRESA, L.NRLANCCONT,"
                     " L.NRSEQLANC, L.VRLANCAMENT HAVING SUM(R.VRLANCCUST) <> L.VRLANCAMENT) X"),
              0);
    EXPECT_EQ(Scalar(db,
                     "SELECT COUNT(*) FROM LANCCCUSTO R WHERE NOT EXISTS (SELECT 1 FROM"
                     " LANCCONT L WHERE R.CDEMPRESA = L.CDEMPRESA AND R.NRLANCCONT ="
                     " L.NRLANCCONT AND R.NRSEQLANC = L.NRSEQLANC)"),
              0);
}

}  // namespace storetest
