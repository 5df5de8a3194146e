// The remote methods of the application server object
// CTB11000.rdmLancamentos, defined once: name (matched without regard to
// case), how many positional arguments it takes and which of them come back
// by reference (0-based). The module calls them by these specs; the server
// dispatches from a table that pairs each spec with its handler; the
// protocol document describes the same list.
//
// The argument readers refuse a malformed call with ERpcError "argumentos"
// (wrong count) or "tipo" (wrong kind), naming the argument by its 1-based
// position.
#pragma once

#include "platform/data/packet.h"
#include "platform/net/rpcvalue.h"

#include <string>
#include <vector>

namespace ledger {

struct TMethodSpec {
    const char* Name;
    std::size_t ArgCount;
    std::vector<int> ByRef;
};

namespace method {
extern const TMethodSpec GetLancCont;
extern const TMethodSpec PrxLancContabil;
extern const TMethodSpec GetLancContFiltrado;
extern const TMethodSpec GetLancCCusto;
extern const TMethodSpec SetLancContabil;
extern const TMethodSpec SetExcluiLancamento;
extern const TMethodSpec GetEmprRelac;
extern const TMethodSpec GetCdLote;
extern const TMethodSpec ValidaMapa;
// Optional: the data version behind GetLancCont ("" when the server keeps
// none); a server without it answers "metodo" and the module just loads.
extern const TMethodSpec GetVersaoLancCont;
}  // namespace method

// The methods, in the order the protocol document lists them.
const std::vector<const TMethodSpec*>& Methods();
// The spec of a name, matched without regard to case; nullptr when unknown.
const TMethodSpec* FindMethod(const std::string& name);

// ---- reading a call's arguments ------------------------------------------------------------------

void CountArgs(const std::vector<TRpcValue>& args, const TMethodSpec& method);
// Text (nil reads as ""), number or date (nil reads as 0), data packet.
std::string TextArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSpec& method);
double NumberArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSpec& method, const char* expected);
const TDataPacket& PacketArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSpec& method);

}  // namespace ledger
