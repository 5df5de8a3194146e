#include "contracts/zem_msg.h"

#include "platform/data/text.h"

namespace {

// Texts common to the suite's screens that a screen may ask for without
// holding them in its own table.
struct CommonText {
    const char* key;
    const char* text;
};
constexpr CommonText kCommon[] = {
    {"CodComerBan_Inv", "Código de conta bancária deve ter no máximo 3 caracteres."},
    {"Filial_Cad", "Filial não cadastrada."},
    {"Forn_Cad", "Fornecedor não cadastrado."},
    {"Fornecedor_Cad", "Fornecedor não cadastrado."},
    {"Cliente_Cad", "Cliente não cadastrado."},
    {"Banc_Cad", "Banco não cadastrado."},
    {"ContaCorr_Cad", "Conta Corrente não cadastrada."},
    {"CentroCus_cad", "Centro de custo não cadastrado."},
    {"Historico_Cad", "Histórico padrão não cadastrado."},
    {"Cont_Cad", "Conta contábil não cadastrada."},
    {"Empr_Cad", "Empresa não cadastrada."},
    {"Filial", "Filial"},
    {"CentroCusto", "Centro de Custo"},
    {"Historico", "Histórico Padrão"},
    {"Excl", "Confirma exclusão?"},
    {"Canc", "Cancelar operação?"},
};

}  // namespace

namespace Zem_msg {

void TMessages::Add(const std::string& key, const std::string& text) { rows_.emplace_back(key, text); }

void TMessages::SetLines(const std::vector<std::string>& lines) {
    rows_.clear();
    for (const std::string& line : lines) {
        const auto bar = line.find('|');
        if (bar == std::string::npos) Add(line, "");
        else Add(line.substr(0, bar), line.substr(bar + 1));
    }
}

const std::string* TMessages::find(const std::string& key) const {
    for (const auto& [k, text] : rows_)
        if (SameText(k, key)) return &text;
    return nullptr;
}

bool TMessages::Has(const std::string& key) const { return find(key) != nullptr; }

std::string TMessages::Msg(const std::string& key) const {
    const std::string* text = find(key);
    if (text && !text->empty()) return *text;
    return Fallback(key);
}

std::string TMessages::Fallback(const std::string& key) {
    for (const CommonText& c : kCommon)
        if (SameText(c.key, key)) return c.text;
    return "Mensagem não encontrada: " + key;
}

}  // namespace Zem_msg
