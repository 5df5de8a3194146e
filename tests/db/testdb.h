// A small suite database for the tests: the reference tables the lookup
// queries read, with a handful of rows chosen so that each query's selection
// rules show (a branch code inside another, a cost centre with no branch, a
// synthetic account that the analytic filter must drop).
//
// SQLite: a temporary file, always. PostgreSQL: a fresh database on the
// server named by the environment variable CTB_TEST_PG (libpq keywords, for
// example "host=127.0.0.1 port=5432 user=ctb"); without it those runs skip.
#pragma once

#include "platform/db/dbgeral.h"

#include <soci/soci.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

inline const char* PgTestServer() { return std::getenv("CTB_TEST_PG"); }

class TTempDatabase {
public:
    explicit TTempDatabase(TDBDialect dialect = TDBDialect::SQLite) : dialect_(dialect) {
        static std::atomic<int> counter{0};
        const std::string tag = std::to_string(::getpid()) + "_" + std::to_string(counter++);
        if (dialect_ == TDBDialect::SQLite) {
            path_ = std::filesystem::temp_directory_path() / ("ctb_db_test_" + tag + ".db");
            std::filesystem::remove(path_);
            url_ = "sqlite3://" + path_.string();
        } else {
            // The name is made of our own digits; no outside text reaches it.
            pgName_ = "ctb_db_test_" + tag;
            TDBConnection admin;
            admin.Open(std::string("postgresql: ") + PgTestServer() + " dbname=postgres", {.ReadOnly = false});
            admin.Session() << "CREATE DATABASE " + pgName_;
            url_ = std::string("postgresql: ") + PgTestServer() + " dbname=" + pgName_;
        }
        writer_.Open(url_, {.ReadOnly = false, .MustExist = false});
        CreateSchema();
    }
    ~TTempDatabase() {
        writer_.Close();
        std::error_code ec;
        if (dialect_ == TDBDialect::SQLite) {
            for (const char* suffix : {"", "-wal", "-shm", "-journal"})
                std::filesystem::remove(path_.string() + suffix, ec);
            return;
        }
        try {
            TDBConnection admin;
            admin.Open(std::string("postgresql: ") + PgTestServer() + " dbname=postgres", {.ReadOnly = false});
            admin.Session() << "DROP DATABASE IF EXISTS " + pgName_ + " WITH (FORCE)";
        } catch (const std::exception&) {
            // a leftover test database is harmless
        }
    }
    TTempDatabase(const TTempDatabase&) = delete;
    TTempDatabase& operator=(const TTempDatabase&) = delete;

    const std::string& URL() const { return url_; }
    std::string Path() const { return path_.string(); }
    TDBDialect Dialect() const { return dialect_; }
    // A connection that may write, for the tests' own set-up.
    soci::session& Writer() { return writer_.Session(); }

private:
    TDBDialect dialect_;
    std::filesystem::path path_;
    std::string pgName_;
    std::string url_;
    TDBConnection writer_;

    void CreateSchema() {
        soci::session& s = writer_.Session();
        if (dialect_ == TDBDialect::SQLite) s << "PRAGMA journal_mode = WAL";
        s << "CREATE TABLE EMPRESA (CDEMPRESA VARCHAR(2) PRIMARY KEY, NMEMPRESA VARCHAR(40))";
        s << "INSERT INTO EMPRESA VALUES ('01', 'Comercial Aurora Ltda'), "
             "('02', 'Industria Serra Azul S.A.'), ('03', 'Servicos O''Neil ME')";
        s << "CREATE TABLE CONTOPECTBL (CDEMPRESA VARCHAR(2) PRIMARY KEY, DTINICLANC DATE, "
             "DTFINALANC DATE, DTINICRELA DATE, DTFINARELA DATE, DTINICCONT DATE, "
             "DTFINACONT TIMESTAMP, IDSALDEMPR VARCHAR(1), IDCONTGERE VARCHAR(1), "
             "IDCONTCOME VARCHAR(1), IDSUGRAT VARCHAR(1), IDMSMCONTADBCR VARCHAR(1))";
        s << "INSERT INTO CONTOPECTBL VALUES ('01', '2024-01-01', '2024-12-31', NULL, NULL, "
             "'2024-01-01', '2024-12-31 23:59:59', 'N', 'S', 'S', 'S', 'N')";
        s << "CREATE TABLE CONTCTBL (CDCONTCTBL VARCHAR(20) PRIMARY KEY, CDCONTREDU VARCHAR(20), "
             "NMCONTCTBL VARCHAR(40), CDRATEIO VARCHAR(3), CDNVCONTCTBL VARCHAR(1), "
             "IDTIPOCONT VARCHAR(1), IDCONTCCUS VARCHAR(1), IDTIPOCOME VARCHAR(1))";
        s << "INSERT INTO CONTCTBL VALUES "
             "('1', '1', 'ATIVO', '', '1', 'S', '', ''), "
             "('11101', '11101', 'DISPONIVEL', '', '4', 'S', '', ''), "
             "('1110100001', '101', 'CAIXA GERAL', '', '5', 'A', '', ''), "
             "('1110100002', '102', 'BANCO CONTA MOVIMENTO', '', '5', 'A', '', 'B'), "
             "('3110100001', '301', 'DESPESAS ADMINISTRATIVAS', '001', '5', 'A', 'G', '')";
        s << "CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) PRIMARY KEY, NMFILIAL VARCHAR(30))";
        s << "INSERT INTO FILIAL VALUES ('0001', 'Matriz'), ('0010', 'Filial Centro'), "
             "('1001', 'Filial Norte')";
        s << "CREATE TABLE CENTCUST (CDCENTCUST VARCHAR(4) PRIMARY KEY, NMCENTCUST VARCHAR(40))";
        s << "INSERT INTO CENTCUST VALUES ('0100', 'Administracao'), ('0200', 'Vendas'), "
             "('0300', 'Producao'), ('0400', 'Sem filial')";
        s << "CREATE TABLE CENTCUSTFIL (CDCENTCUST VARCHAR(4), CDFILIAL VARCHAR(4), "
             "PRIMARY KEY (CDCENTCUST, CDFILIAL))";
        // 0100 in two branches (DISTINCT must keep it once); 0300 only in
        // branch 1001, whose code contains "001" and "0010"'s "001".
        s << "INSERT INTO CENTCUSTFIL VALUES ('0100', '0001'), ('0100', '0010'), "
             "('0200', '0010'), ('0300', '1001')";
    }
};
