// The remote methods of the application server object
// CTB11000.rdmLancamentos, defined once: name (matched without regard to
// case), how many positional arguments it takes and which of them come back
// by reference (0-based). The module calls them by these signatures; the server
// dispatches from a table that pairs each signature with its handler; the
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

struct TMethodSignature {
    const char* Name;
    std::size_t ArgCount;
    std::vector<int> ByRef;
};

namespace method {
extern const TMethodSignature GetLancCont;
extern const TMethodSignature PrxLancContabil;
extern const TMethodSignature GetLancContFiltrado;
extern const TMethodSignature GetLancCCusto;
extern const TMethodSignature SetLancContabil;
extern const TMethodSignature SetExcluiLancamento;
extern const TMethodSignature GetEmprRelac;
extern const TMethodSignature GetCdLote;
extern const TMethodSignature ValidaMapa;
// Optional: the data version behind GetLancCont ("" when the server keeps
// none); a server without it answers "metodo" and the module just loads.
extern const TMethodSignature GetVersaoLancCont;
}  // namespace method

// The methods, in the order the protocol document lists them.
const std::vector<const TMethodSignature*>& Methods();
// The signature of a name, matched without regard to case; nullptr when unknown.
const TMethodSignature* FindMethod(const std::string& name);

// ---- reading a call's arguments ------------------------------------------------------------------

void CountArgs(const std::vector<TRpcValue>& args, const TMethodSignature& method);
// Text (nil reads as ""), number or date (nil reads as 0), data packet.
std::string TextArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSignature& method);
double NumberArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSignature& method,
                 const char* expected);
const TDataPacket& PacketArg(const std::vector<TRpcValue>& args, std::size_t i, const TMethodSignature& method);

}  // namespace ledger
