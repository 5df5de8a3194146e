#include "platform/net/error_kind.h"

const char* WireCode(TErrorKind kind) {
    switch (kind) {
    case TErrorKind::Protocolo: return "protocolo";
    case TErrorKind::Limite: return "limite";
    case TErrorKind::Tempo: return "tempo";
    case TErrorKind::Conexao: return "conexao";
    case TErrorKind::Acesso: return "acesso";
    case TErrorKind::Metodo: return "metodo";
    case TErrorKind::Argumentos: return "argumentos";
    case TErrorKind::Tipo: return "tipo";
    case TErrorKind::Interno: return "interno";
    case TErrorKind::Banco: return "banco";
    case TErrorKind::Validacao: return "validacao";
    case TErrorKind::Periodo: return "periodo";
    case TErrorKind::Lote: return "lote";
    case TErrorKind::Mapa: return "mapa";
    case TErrorKind::Conflito: return "conflito";
    }
    return "interno";
}
