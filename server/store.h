// TEntryStore: the entry store behind the application server object
// CTB11000.rdmLancamentos. One C++ method per remote method, so tests and
// benchmarks reach the store without the network; RegisterStoreMethods binds
// the same methods to an RPC server by name.
//
// Contract:
//  - every method runs in ONE database transaction on its own session (taken
//    from a small pool, so methods may be called from many threads at once);
//    a method that throws has changed nothing;
//  - refusals (bad arguments, an entry that may not be saved or deleted) throw
//    ERpcError with a short code and a Portuguese message fit to show a
//    bookkeeper: "argumentos" and "tipo" for malformed calls, "validacao" for
//    a refused save, "lote" and "mapa" for protected entries, "periodo" for
//    dates outside the company's periods, "banco" for database failures;
//  - every SQL text is parameterised; criteria and code lists are data;
//  - amounts are kept in the database as integer cents; on the way in a value
//    is rounded half away from zero on its decimal digits (1.005 -> 1.01).
//
// Database URLs: "sqlite3://db=FILE", "sqlite3://FILE", "sqlite://FILE",
// a plain file path (SQLite), or "postgresql://..." / "postgresql: dbname=..."
// (PostgreSQL, when the backend is built in). The schema (server/schema.sql)
// is applied when the store opens; it only creates what is missing.
#pragma once

#include "ledger/criteria.h"
#include "ledger/methods.h"
#include "platform/data/datetime.h"
#include "platform/data/packet.h"
#include "platform/net/packet_stream.h"
#include "platform/net/rpcvalue.h"

#include <memory>
#include <string>
#include <vector>

class TRpcServer;

// The 18 criteria of GetLancCont (shared with the module).
using ledger::TLancFiltro;

// Field lists of the packets the store answers with (cdsLancCont's 25 fields
// in its definition order; cdsLancCCusto's 9; cdsMapaApurac's 3).
std::vector<TPacketField> LancContFields();
std::vector<TPacketField> LancCCustoFields();
std::vector<TPacketField> MapaApuracFields();

class TEntryStore {
public:
    // Opens the database and applies the schema. Throws ERpcError "banco"
    // with a Portuguese message when the database cannot be opened.
    explicit TEntryStore(const std::string& dbUrl);
    ~TEntryStore();
    TEntryStore(const TEntryStore&) = delete;
    TEntryStore& operator=(const TEntryStore&) = delete;

    // The lines that match the criteria, in entry and sequence order. Value
    // kinds give the matching lines only; the Aux kinds every line of each
    // entry with at least one matching line.
    TDataPacket GetLancCont(const TLancFiltro& filtro);
    // The same rows written into `out` as they are read (in pieces when the
    // stream is bound to a connection): the store holds one batch, not the
    // answer.
    void GetLancCont(const TLancFiltro& filtro, TPacketStream& out);

    // Reserves the next free entry number of the company ("yyyymm" + a
    // six-digit sequence). anoMes (by reference, "yyyymm") chooses the month;
    // an empty or malformed one means the current month, and is written back.
    std::string PrxLancContabil(const std::string& empresa, std::string& anoMes);

    // The version of the data GetLancCont reads: equal versions, equal
    // answers for equal criteria. "" when the database keeps no version.
    std::string GetVersaoLancCont(const std::string& empresa);

    TDataPacket GetLancContFiltrado(const std::string& empresa, const std::string& nrLanc);
    TDataPacket GetLancCCusto(const std::string& empresa, const std::string& nrLanc);

    // Replaces the lines and apportionment of entry (empresa, nrLanc) with the
    // records of the two packets that belong to it (other records are
    // ignored). All or nothing; throws ERpcError on any refusal.
    void SetLancContabil(const TDataPacket& linhas, const TDataPacket& rateio, const std::string& empresa,
                         std::string& nrLanc, std::string& ultDocu, const std::string& operador);

    // Deletes the entry and its apportionment; refuses batch and map entries.
    void SetExcluiLancamento(const std::string& empresa, std::string& nrLanc);

    bool getEmprRelac(const std::string& empresa, const std::string& filial);
    std::string getCdLote(const std::string& empresa, const std::string& nrLanc);  // "" when none

    // [status, packet MES/ANO/IMPOSTO]: "ERRO" with the map rows when the
    // entry is tied to a tax map, "OK" with an empty packet otherwise.
    TRpcValue ValidaMapa(const std::string& empresa, std::string& nrLanc);

    // Calls a method by its remote name (case-insensitive) with positional
    // arguments, writing by-reference arguments back into args. Throws
    // ERpcError "metodo" for an unknown name.
    TRpcValue Call(const std::string& method, std::vector<TRpcValue>& args);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The server's method table: each remote method's signature (name, argument
// count, by-reference positions; ledger/methods.h) with its handler. The
// server dispatches from it and nothing else names the methods.
struct TStoreMethod {
    const ledger::TMethodSignature* Signature;
    TRpcValue (*Handler)(TEntryStore& store, std::vector<TRpcValue>& args);
};
const std::vector<TStoreMethod>& StoreMethods();

// Registers the nine methods on the server, all sharing one store opened on
// dbUrl (names match without regard to case: "getLancCont" is GetLancCont).
void RegisterStoreMethods(TRpcServer& server, const std::string& dbUrl);
