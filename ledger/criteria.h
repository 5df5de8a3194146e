// TLancFiltro: the 18 criteria of GetLancCont, one type for the filter
// dialog that composes them, the entry screen that reloads with them and the
// server that reads them, with their wire form (18 positional arguments).
#pragma once

#include "platform/data/datetime.h"
#include "platform/net/rpcvalue.h"

#include <string>
#include <vector>

namespace ledger {

inline constexpr const char* kFiltroValor = "FiltroValor";
inline constexpr const char* kFiltroValorGer = "FiltroValorGer";
inline constexpr const char* kAuxFiltro = "AuxFiltro";
inline constexpr const char* kAuxFiltroGer = "AuxFiltroGer";

struct TLancFiltro {
    std::string TipoFiltro;  // 1  FiltroValor, FiltroValorGer, AuxFiltro, AuxFiltroGer
    std::string Empresa;     // 2
    std::string NrLanc;      // 3  entry number; leading zeros ignored
    std::string ContFimZ;    // 4  final account padded with "Z"
    std::string Hist;        // 5  standard-history list ("_0001__0002_")
    std::string Clie;        // 6  client list
    std::string Forn;        // 7  supplier list
    std::string Banc;        // 8  bank-account list
    std::string Docu;        // 9  document
    std::string CentCust;    // 10 cost-centre list
    std::string ContIni;     // 11 initial account (empty: no account range)
    std::string ContFim;     // 12 final account as typed
    TDateTime DtIni = 0;     // 13 (0: open)
    TDateTime DtFim = 0;     // 14 (0: open)
    double VrIni = 0;        // 15
    double VrFim = 0;        // 16
    std::string HistLanc;    // 17 history text, matched ignoring case
    std::string Filial;      // 18 branch list

    // The 18 arguments in the order they travel.
    std::vector<TRpcValue> ToArgs() const;
    // Reads them back; throws ERpcError "argumentos" / "tipo" naming the
    // argument (what the server answers a malformed request with).
    static TLancFiltro FromArgs(const std::vector<TRpcValue>& args);
    bool IsValueKind() const;       // FiltroValor / FiltroValorGer
    bool IsManagementKind() const;  // FiltroValorGer / AuxFiltroGer
};

}  // namespace ledger
