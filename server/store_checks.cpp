// Checks of what a call brings from outside before the store relies on it:
// texts must be UTF-8 (every length limit counts characters of valid text,
// and whatever is stored goes back to clients that decode it strictly), and
// a save must carry an entry number the company's numbering handed out.
#include "server/store_internal.h"

#include "platform/data/field.h"
#include "platform/net/utf8.h"

#include <cctype>

namespace ctbstore {

namespace {

constexpr std::size_t kOperatorChars = 12;

void CheckPacketText(const TDataPacket& p, const std::string& what) {
    const auto& fields = p.Fields();
    for (const TPacketField& f : fields)
        if (!IsValidUtf8(f.Name))
            Refuse(TErrorKind::Validacao, "O pacote de " + what +
                                              " tem um nome de campo com caracteres inválidos "
                                              "(o texto não está em UTF-8).");
    for (std::size_t r = 0; r < p.RecordCount(); ++r)
        for (std::size_t c = 0; c < fields.size(); ++c) {
            const Variant v = p.Value(r, c);
            const std::string* s = v.string_if();
            if (s && !IsValidUtf8(*s))
                Refuse(TErrorKind::Validacao, "O campo " + fields[c].Name + " do registro " + std::to_string(r + 1) +
                                                  " do pacote de " + what +
                                                  " tem caracteres inválidos (o texto não está em UTF-8).");
        }
}

bool AllDigits(const std::string& s) {
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// "yyyymm" + a six-digit sequence from 000001, as PrxLancContabil hands out.
bool WellFormedNumber(const std::string& nr) {
    if (nr.size() != 12 || !AllDigits(nr)) return false;
    const int month = std::stoi(nr.substr(4, 2));
    return nr.substr(0, 4) != "0000" && month >= 1 && month <= 12 && nr.substr(6) != "000000";
}

}  // namespace

void CheckText(const std::string& text, const std::string& what) {
    if (!IsValidUtf8(text))
        Refuse(TErrorKind::Validacao, "O texto de " + what + " tem caracteres inválidos (não está em UTF-8).");
}

void CheckSaveRequest(const TDataPacket& linhas, const TDataPacket& rateio, const std::string& empresa,
                      const std::string& nrLanc, const std::string& ultDocu, const std::string& operador) {
    CheckText(empresa, "empresa");
    CheckText(nrLanc, "número do lançamento");
    CheckText(ultDocu, "último documento");
    CheckText(operador, "operador");
    CheckPacketText(linhas, "partidas");
    CheckPacketText(rateio, "rateios");
    if (!WellFormedNumber(Trim(nrLanc)))
        Refuse(TErrorKind::Validacao,
               "Número do lançamento contábil inválido: deve ter 12 dígitos "
               "(ano, mês e sequência), como o sistema o fornece.");
}

void CheckNumberIssued(soci::session& sql, const std::string& empresa, const std::string& nrLanc) {
    int stored = 0;
    sql << "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = :e AND NRLANCCONT = :n", soci::use(empresa),
        soci::use(nrLanc), soci::into(stored);
    if (stored > 0) return;
    const std::string anoMes = nrLanc.substr(0, 6);
    long long last = 0;
    soci::indicator ind = soci::i_null;
    sql << "SELECT NRULTSEQ FROM NUMLANCCONT WHERE CDEMPRESA = :e AND NRANOMES = :a", soci::use(empresa),
        soci::use(anoMes), soci::into(last, ind);
    if (sql.got_data() && ind == soci::i_ok && std::stoll(nrLanc.substr(6)) <= last) return;
    Refuse(TErrorKind::Validacao, "O número " + nrLanc +
                                      " não foi fornecido pela numeração de lançamentos da empresa " + empresa +
                                      "; um lançamento novo deve usar o número que o sistema fornece.");
}

std::string OperatorName(const std::string& operador) { return Utf8Left(Trim(operador), kOperatorChars); }

}  // namespace ctbstore
