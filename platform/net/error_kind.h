// The kinds of error the module and the application server tell apart, and
// the short word each travels as in an error answer ({"code": ..., "message":
// ...}, docs/protocol.md "Error codes"). The words are the wire format:
// clients compare them, so a kind's word never changes; a new kind gets a new
// word.
#pragma once

enum class TErrorKind {
    Protocolo,   // a frame (request or answer) that is not valid
    Limite,      // a frame over a limit
    Tempo,       // a frame or an answer that did not arrive in time
    Conexao,     // could not connect, not connected, connection lost
    Acesso,      // a client without the server's token
    Metodo,      // unknown method
    Argumentos,  // wrong argument count, a malformed argument
    Tipo,        // an argument or answer of the wrong kind
    Interno,     // an unexpected failure; the detail goes to the log
    Banco,       // the database could not do what was asked
    Validacao,   // a save or a request the entry rules refuse
    Periodo,     // a date outside the company's periods
    Lote,        // an entry of a batch
    Mapa,        // an entry of a closed tax map
    Conflito,    // an entry someone else changed since it was opened
};

// The word of a kind on the wire: "protocolo", "validacao", ...
const char* WireCode(TErrorKind kind);
