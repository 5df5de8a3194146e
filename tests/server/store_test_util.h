// Helpers of the store tests: a private copy of a demo database per test, the
// whole entry state rendered to one string (so "nothing changed" is one
// comparison), and builders for filter arguments and packets.
#pragma once

#include "server/store.h"
#include "server/store_demo.h"
#include "server/store_internal.h"

#include <gtest/gtest.h>
#include <soci/soci.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace storetest {

constexpr int kYear = 2024;

inline TDateTime D(int y, int m, int d) {
    TDateTime t = 0;
    EncodeDate(y, m, d, t);
    return t;
}

// A scratch directory removed with everything in it.
class TScratchDir {
public:
    TScratchDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ctbstoreXXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        path_ = mkdtemp(buf.data());
    }
    ~TScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The databases the store tests work on: SQLite files, or with
// CTB_TEST_DB=postgresql databases on the PostgreSQL server that CTB_TEST_PG
// names (libpq keywords without dbname). scripts/test runs them both ways.
inline bool OnPostgres() {
    const char* v = std::getenv("CTB_TEST_DB");
    return v && std::string(v) == "postgresql";
}

inline std::string PgServer() {
    const char* v = std::getenv("CTB_TEST_PG");
    if (!v || !*v) throw std::runtime_error("CTB_TEST_PG não definido");
    return v;
}

inline std::string PgUrl(const std::string& dbname) { return "postgresql: " + PgServer() + " dbname=" + dbname; }

// A session on a test database given by its URL.
inline std::unique_ptr<soci::session> OpenTestSession(const std::string& url) {
    return ctbstore::OpenSession(ctbstore::ParseDbUrl(url));
}

// A statement on the PostgreSQL server itself (database names are ours).
inline void PgAdmin(const std::string& statement) {
    auto sql = OpenTestSession(PgUrl("postgres"));
    *sql << statement;
}

// The PostgreSQL template: made once per schema by whichever test process
// comes first (under an advisory lock), under a temporary name renamed when
// whole, so no process ever copies half a demo.
inline std::string PgDemoTemplate() {
    const std::string name =
        "ctb_tmpl_" + std::to_string(std::hash<std::string>{}(ctbstore::SchemaText()) % 1000000007);
    auto admin = OpenTestSession(PgUrl("postgres"));
    *admin << "SELECT pg_advisory_lock(1114000)";
    int exists = 0;
    *admin << "SELECT COUNT(*) FROM pg_database WHERE datname = :n", soci::use(name), soci::into(exists);
    if (!exists) {
        const std::string building = name + "_novo";
        *admin << "DROP DATABASE IF EXISTS " + building + " WITH (FORCE)";
        *admin << "CREATE DATABASE " + building;
        TDemoOptions o;
        o.Year = kYear;
        o.Lines = 1000;
        GenerateDemo(PgUrl(building), o);
        *admin << "ALTER DATABASE " + building + " RENAME TO " + name;
    }
    *admin << "SELECT pg_advisory_unlock(1114000)";
    return name;
}

// The demo database of kYear (seed 1, small), generated once and copied for
// every test that wants one: a SQLite file, or a PostgreSQL database.
inline const std::string& DemoTemplate() {
    static TScratchDir dir;
    static std::string path = [] {
        if (OnPostgres()) return PgDemoTemplate();
        std::string p = dir.File("template.db");
        TDemoOptions o;
        o.Year = kYear;
        o.Lines = 1000;
        GenerateDemo(p, o);
        return p;
    }();
    return path;
}

class TDemoCopy {
public:
    TDemoCopy() {
        if (!OnPostgres()) {
            url_ = dir_.File("demo.db");
            std::filesystem::copy_file(DemoTemplate(), url_);
            return;
        }
        static std::atomic<int> counter{0};
        pgName_ = "ctb_t_" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        const std::string tmpl = DemoTemplate();
        PgAdmin("CREATE DATABASE " + pgName_ + " TEMPLATE " + tmpl);
        url_ = PgUrl(pgName_);
    }
    ~TDemoCopy() {
        if (pgName_.empty()) return;
        try {
            PgAdmin("DROP DATABASE IF EXISTS " + pgName_ + " WITH (FORCE)");
        } catch (const std::exception&) {
            // a database left behind goes with the test cluster
        }
    }
    TDemoCopy(const TDemoCopy&) = delete;
    TDemoCopy& operator=(const TDemoCopy&) = delete;
    // What TEntryStore and ctb11000-server take: a file or a PostgreSQL URL.
    const std::string& Url() const { return url_; }

private:
    TScratchDir dir_;
    std::string url_;
    std::string pgName_;
};

// Every row of the entry tables, in key order, one line each.
inline std::string DumpEntries(const std::string& dbUrl) {
    auto session = OpenTestSession(dbUrl);
    soci::session& sql = *session;
    std::string out;
    const char* const queries[] = {
        "SELECT 'L|' || CDEMPRESA || '|' || NRLANCCONT || '|' || NRSEQLANC || '|' || CDCONTCTBL"
        " || '|' || VRLANCAMENT || '|' || DTLANCCONT || '|' || COALESCE(DSHISTLANC, '') || '|' ||"
        " COALESCE(CDOPERINS, '') || '|' || COALESCE(CAST(DTULTATULAN AS VARCHAR(30)), '') FROM LANCCONT"
        " ORDER BY CDEMPRESA, NRLANCCONT, NRSEQLANC",
        "SELECT 'R|' || CDEMPRESA || '|' || NRLANCCONT || '|' || NRSEQLANC || '|' || CDFILIAL ||"
        " '|' || CDCENTCUST || '|' || VRLANCCUST FROM LANCCCUSTO"
        " ORDER BY CDEMPRESA, NRLANCCONT, NRSEQLANC, CDFILIAL, CDCENTCUST",
        "SELECT 'B|' || CDEMPRESA || '|' || NRLANCCONT || '|' || CDLOTE FROM LANCCONTLOTE"
        " ORDER BY 1",
        "SELECT 'M|' || CDEMPRESA || '|' || NRLANCCONT || '|' || MES || '|' || IMPOSTO"
        " FROM LANCCONTMAPA ORDER BY 1",
    };
    for (const char* q : queries) {
        soci::rowset<std::string> rows = (sql.prepare << q);
        for (const std::string& r : rows) out += r + "\n";
    }
    return out;
}

inline long long Scalar(const std::string& dbUrl, const std::string& query) {
    auto sql = OpenTestSession(dbUrl);
    long long n = 0;
    *sql << query, soci::into(n);
    return n;
}

// The filter of a whole year of a company, every line.
inline TLancFiltro YearFilter(const std::string& empresa, const std::string& kind = "AuxFiltro") {
    TLancFiltro f;
    f.TipoFiltro = kind;
    f.Empresa = empresa;
    f.ContFimZ = "ZZZZZZZZZZ";
    f.DtIni = D(kYear, 1, 1);
    f.DtFim = D(kYear, 12, 31);
    return f;
}

inline std::vector<TRpcValue> FilterArgs(const TLancFiltro& f) {
    return {TRpcValue(f.TipoFiltro), TRpcValue(f.Empresa),  TRpcValue(f.NrLanc),  TRpcValue(f.ContFimZ),
            TRpcValue(f.Hist),       TRpcValue(f.Clie),     TRpcValue(f.Forn),    TRpcValue(f.Banc),
            TRpcValue(f.Docu),       TRpcValue(f.CentCust), TRpcValue(f.ContIni), TRpcValue(f.ContFim),
            TRpcValue(f.DtIni),      TRpcValue(f.DtFim),    TRpcValue(f.VrIni),   TRpcValue(f.VrFim),
            TRpcValue(f.HistLanc),   TRpcValue(f.Filial)};
}

inline std::string Cell(const TDataPacket& p, std::size_t row, const std::string& field) {
    return p.Value(row, static_cast<std::size_t>(p.FieldIndex(field))).AsString();
}

inline double Number(const TDataPacket& p, std::size_t row, const std::string& field) {
    return p.Value(row, static_cast<std::size_t>(p.FieldIndex(field))).AsFloat();
}

inline void Set(TDataPacket& p, std::size_t row, const std::string& field, Variant v) {
    p.SetValue(row, static_cast<std::size_t>(p.FieldIndex(field)), std::move(v));
}

// Entry numbers of a packet, in order of appearance, without repeats.
inline std::vector<std::string> Entries(const TDataPacket& p) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < p.RecordCount(); ++i) {
        std::string nr = Cell(p, i, "NRLANCCONT");
        if (out.empty() || out.back() != nr) out.push_back(nr);
    }
    return out;
}

// The fixed entries of the demo (store_demo.h).
inline std::string Nr(int month, int seq) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%06d", kYear, month, seq);
    return buf;
}

}  // namespace storetest
