// Demo database: the fixed reference data (companies, chart of accounts,
// histories, parties, banks, branches, cost centres) and the entry point that
// writes it with a year of entries. The facts are listed in store_demo.h.
#include "server/store_demo.h"

#include "server/store_demo_internal.h"
#include "server/store_internal.h"

#include <cstdio>
#include <ctime>
#include <map>

namespace ctbdemo {

namespace {

using soci::use;

const std::vector<TAccount> kAccounts = {
    {"1", "", "Ativo", "", ""},
    {"11", "", "Ativo Circulante", "", ""},
    {"111", "", "Disponível", "", ""},
    {"11101", "", "Caixa e Bancos", "", ""},
    {"1110100001", "101", "Caixa Geral", "", ""},
    {"1110100002", "102", "Banco do Brasil C/C", "", "B"},
    {"1110100003", "103", "Caixa Econômica Federal C/C", "", "B"},
    {"1110100004", "104", "Banco Itaú C/C", "", "B"},
    {"112", "", "Créditos", "", ""},
    {"11201", "", "Clientes", "", ""},
    {"1120100001", "111", "Clientes Nacionais", "", "C"},
    {"113", "", "Estoques", "", ""},
    {"11301", "", "Mercadorias", "", ""},
    {"1130100001", "121", "Estoque de Mercadorias", "O", ""},
    {"12", "", "Ativo Não Circulante", "", ""},
    {"121", "", "Imobilizado", "", ""},
    {"12101", "", "Bens em Operação", "", ""},
    {"1210100001", "131", "Móveis e Utensílios", "L", ""},
    {"1210100002", "132", "Veículos", "L", ""},
    {"2", "", "Passivo", "", ""},
    {"21", "", "Passivo Circulante", "", ""},
    {"211", "", "Fornecedores", "", ""},
    {"21101", "", "Fornecedores Nacionais", "", ""},
    {"2110100001", "201", "Fornecedores Nacionais", "", "F"},
    {"212", "", "Obrigações Tributárias", "", ""},
    {"21201", "", "Impostos a Recolher", "", ""},
    {"2120100001", "211", "ICMS a Recolher", "", ""},
    {"2120100002", "212", "PIS a Recolher", "", ""},
    {"2120100003", "213", "COFINS a Recolher", "", ""},
    {"213", "", "Obrigações Trabalhistas", "", ""},
    {"21301", "", "Salários e Encargos", "", ""},
    {"2130100001", "221", "Salários a Pagar", "", ""},
    {"2130100002", "222", "INSS a Recolher", "", ""},
    {"23", "", "Patrimônio Líquido", "", ""},
    {"231", "", "Capital Social", "", ""},
    {"23101", "", "Capital Subscrito", "", ""},
    {"2310100001", "231", "Capital Social Realizado", "", ""},
    {"3", "", "Receitas", "", ""},
    {"31", "", "Receita Operacional", "", ""},
    {"311", "", "Receita Bruta", "", ""},
    {"31101", "", "Vendas e Serviços", "", ""},
    {"3110100001", "301", "Venda de Mercadorias", "R", ""},
    {"3110100002", "302", "Prestação de Serviços", "R", ""},
    {"4", "", "Custos e Despesas", "", ""},
    {"41", "", "Despesas Operacionais", "", ""},
    {"411", "", "Despesas Administrativas", "", ""},
    {"41101", "", "Despesas Gerais", "", ""},
    {"4110100001", "401", "Aluguéis", "G", "F"},
    {"4110100002", "402", "Energia Elétrica", "G", "F"},
    {"4110100003", "403", "Material de Escritório", "L", ""},
    {"4110100004", "404", "Salários e Ordenados", "G", ""},
    {"4110100005", "405", "Tarifas Bancárias", "O", "B"},
    {"4110100006", "406", "Impostos e Taxas", "O", ""},
    {"412", "", "Despesas Comerciais", "", ""},
    {"41201", "", "Despesas de Vendas", "", ""},
    {"4120100001", "411", "Propaganda e Publicidade", "G", "F"},
    {"4120100002", "412", "Fretes e Carretos", "L", "F"},
    {"42", "", "Custos", "", ""},
    {"421", "", "Custo das Vendas", "", ""},
    {"42101", "", "Custo das Mercadorias", "", ""},
    {"4210100001", "421", "Custo das Mercadorias Vendidas", "R", ""},
};

const std::map<std::string, std::string> kHistories = {
    {"0001", "Venda de mercadorias conforme nota fiscal"},
    {"0002", "Pagamento a fornecedor"},
    {"0003", "Recebimento de cliente"},
    {"0004", "Pagamento de aluguel"},
    {"0005", "Folha de pagamento do mês"},
    {"0006", "Depósito bancário"},
    {"0007", "Tarifa bancária"},
    {"0008", "Apuração de ICMS"},
    {"0009", "Conta de energia elétrica"},
    {"0010", "Frete sobre vendas"},
    {"0011", "Compra de material de escritório"},
    {"0012", "Transferência entre contas"},
    {"0013", "Prestação de serviços"},
    {"0014", "Propaganda e publicidade"},
    {"0015", "Custo das mercadorias vendidas"},
    {"0016", "Apuração de PIS e COFINS"},
    {"0099", "Encerramento do exercício"},
};

const std::map<std::string, std::vector<std::string>> kCompanyBranches = {
    {"01", {"0001", "0002", "0003", "0005"}},
    {"02", {"0003", "0006"}},
    {"03", {"0004", "0006"}},
    {"04", {"0001"}},
};

const std::map<std::string, std::vector<std::string>> kBranchCentres = {
    {"0001", {"1001", "1002", "1003", "2001", "2002", "3001", "4001"}},
    {"0002", {"1001", "2001", "3001"}},
    {"0003", {"1001", "2001", "2002", "3002"}},
    {"0004", {"3001", "3002"}},
    {"0005", {"1001", "2001"}},
    {"0006", {"3002", "4001"}},
};

const std::vector<std::string> kBankAccounts = {"001", "002", "003", "004", "005"};

constexpr int kClients = 40;
constexpr int kSuppliers = 30;

// A fixed pseudo-random digit source per party, so reference data never
// depends on the seed.
struct TDigits {
    std::uint32_t state;
    int Next() {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % 10);
    }
};

int CheckDigit(const std::vector<int>& digits, const std::vector<int>& weights) {
    int sum = 0;
    for (std::size_t i = 0; i < weights.size(); ++i) sum += digits[i] * weights[i];
    int r = sum % 11;
    return r < 2 ? 0 : 11 - r;
}

std::string Cpf(std::uint32_t seed) {
    TDigits gen{seed * 7919u + 17u};
    std::vector<int> d;
    for (int i = 0; i < 9; ++i) d.push_back(gen.Next());
    d.push_back(CheckDigit(d, {10, 9, 8, 7, 6, 5, 4, 3, 2}));
    d.push_back(CheckDigit(d, {11, 10, 9, 8, 7, 6, 5, 4, 3, 2}));
    std::string s;
    for (int x : d) s += static_cast<char>('0' + x);
    return s;
}

std::string Cnpj(std::uint32_t seed) {
    TDigits gen{seed * 104729u + 3u};
    std::vector<int> d;
    for (int i = 0; i < 8; ++i) d.push_back(gen.Next());
    for (int x : {0, 0, 0, 1}) d.push_back(x);  // head office
    d.push_back(CheckDigit(d, {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2}));
    d.push_back(CheckDigit(d, {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2}));
    std::string s;
    for (int x : d) s += static_cast<char>('0' + x);
    return s;
}

const char* const kShopKinds[] = {"Supermercado", "Mercearia",  "Padaria",  "Restaurante",
                                  "Empório",      "Lanchonete", "Atacadão", "Farmácia"};
const char* const kShopNames[] = {"Bom Preço", "São Jorge", "Santa Luzia", "Boa Vista", "Estrela",    "Nova Era",
                                  "Primavera", "Central",   "Avenida",     "Real",      "Ipê Amarelo"};
const char* const kFirstNames[] = {"Maria Aparecida", "José Carlos",   "Ana Paula", "João Pedro", "Francisca",
                                   "Antônio",         "Luiz Fernando", "Juliana",   "Conceição",  "Sebastião"};
const char* const kSurnames[] = {"da Silva", "dos Santos", "Oliveira", "Souza",     "Pereira",
                                 "Lima",     "Carvalho",   "Ferreira", "Rodrigues", "Almeida"};
const char* const kTradeKinds[] = {"Comercial",   "Indústria", "Transportadora", "Atacado",
                                   "Metalúrgica", "Gráfica",   "Serviços",       "Tecnologia"};
const char* const kTradeNames[] = {"Paraná",  "Vale Verde", "Sertão", "Litoral", "Serra Azul",
                                   "Cerrado", "Guanabara",  "Pampa",  "Tietê"};

void WriteCompanies(soci::session& sql, int year) {
    struct TCompany {
        const char *Code, *Name, *Cnpj, *City, *Uf, *Gere, *Come, *SugRat, *MsmConta;
        int AccFirstYear;
        bool Params;
    };
    const TCompany companies[] = {
        {"01", "Comercial Paulista de Alimentos Ltda", "", "São Paulo", "SP", "S", "S", "S", "N", 0, true},
        {"02", "Indústria Mineira de Embalagens S.A.", "", "Belo Horizonte", "MG", "N", "N", "N", "S", 0, true},
        {"03", "Transportes Gaúchos Ltda", "", "Porto Alegre", "RS", "N", "S", "N", "N", -1, true},
        {"04", "Nordeste Participações S.A.", "", "Recife", "PE", "", "", "", "", 0, false},
    };
    std::uint32_t seed = 900;
    for (const TCompany& c : companies) {
        std::string code = c.Code, name = c.Name, cnpj = Cnpj(seed++), city = c.City, uf = c.Uf;
        sql << "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA, NRINSJUREMPR, NMCIDADE, SGESTADO)"
               " VALUES (:c, :n, :j, :m, :u)",
            use(code), use(name), use(cnpj), use(city), use(uf);
        if (!c.Params) continue;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-01-01", year + c.AccFirstYear);
        std::string accIni = buf;
        std::snprintf(buf, sizeof buf, "%04d-01-01", year);
        std::string ini = buf;
        std::snprintf(buf, sizeof buf, "%04d-12-31", year);
        std::string fim = buf;
        std::string gere = c.Gere, come = c.Come, sug = c.SugRat, msm = c.MsmConta, sald = "S";
        sql << "INSERT INTO CONTOPECTBL (CDEMPRESA, DTINICLANC, DTFINALANC, DTINICRELA,"
               " DTFINARELA, DTINICCONT, DTFINACONT, IDSALDEMPR, IDCONTGERE, IDCONTCOME,"
               " IDSUGRAT, IDMSMCONTADBCR) VALUES (:c, :il, :fl, :ir, :fr, :ic, :fc, :s, :g,"
               " :co, :su, :ms)",
            use(code), use(ini), use(fim), use(accIni), use(fim), use(accIni), use(fim), use(sald), use(gere),
            use(come), use(sug), use(msm);
    }
}

void WriteAccounts(soci::session& sql) {
    for (const TAccount& a : kAccounts) {
        std::string code = a.Code, name = a.Name, ccus = a.CCus, come = a.Come;
        std::string redu = a.Redu;
        bool analytic = code.size() == 10;
        std::string tipo = analytic ? "A" : "S";
        std::string level = code.size() == 10 ? "5" : code.size() == 5 ? "4" : std::to_string(code.size());
        std::string rateio = (ccus == "G" || ccus == "R") ? "001" : "";
        soci::indicator reduInd = redu.empty() ? soci::i_null : soci::i_ok;
        sql << "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDRATEIO, CDNVCONTCTBL,"
               " IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) VALUES (:c, :r, :n, :ra, :nv, :t, :cc, :co)",
            use(code), use(redu, reduInd), use(name), use(rateio), use(level), use(tipo), use(ccus), use(come);
    }
}

void WriteHistories(soci::session& sql) {
    for (const auto& [code, text] : kHistories) {
        std::string c = code, t = text;
        sql << "INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES (:c, :t)", use(c), use(t);
    }
}

std::string ClientName(int i) {
    if (i == 1) return "Supermercado Bom Preço Ltda";
    if (i == 2) return "Maria Aparecida da Silva";
    if (i % 4 == 2) return std::string(kFirstNames[i % 10]) + " " + kSurnames[(i / 3) % 10];
    const char* suffix = i % 3 == 0 ? " Ltda" : " ME";
    return std::string(kShopKinds[i % 8]) + " " + kShopNames[(i / 2) % 11] + suffix;
}

std::string SupplierName(int i) {
    switch (i) {
    case 1: return "Distribuidora Paulista de Bebidas Ltda";
    case 2: return "Imobiliária Horizonte Ltda";
    case 3: return "Companhia Energética Planalto S.A.";
    case 4: return "Papelaria Central Ltda";
    case 5: return "Transportadora Rápido Sul Ltda";
    case 6: return "Agência Criativa Propaganda Ltda";
    default: break;
    }
    if (i % 7 == 3) return std::string(kFirstNames[i % 10]) + " " + kSurnames[i % 10];
    return std::string(kTradeKinds[i % 8]) + " " + kTradeNames[(i / 2) % 9] + " Ltda";
}

void WriteParties(soci::session& sql) {
    for (int i = 1; i <= kClients; ++i) {
        std::string code = Code6(i), name = ClientName(i);
        bool person = i == 2 || (i != 1 && i % 4 == 2);
        std::string kind = person ? "F" : "J";
        std::string doc = person ? Cpf(i) : Cnpj(i);
        sql << "INSERT INTO CLIENTE (CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE)"
               " VALUES (:c, :n, :d, :k)",
            use(code), use(name), use(doc), use(kind);
    }
    for (int i = 1; i <= kSuppliers; ++i) {
        std::string code = Code6(i), name = SupplierName(i);
        bool person = i > 6 && i % 7 == 3;
        std::string kind = person ? "F" : "J";
        std::string doc = person ? Cpf(500 + i) : Cnpj(500 + i);
        sql << "INSERT INTO FORNECEDOR (CDFORNECED, NRINSJURFORN, NMRAZSOCFORN, IDTPIJURFORN)"
               " VALUES (:c, :d, :n, :k)",
            use(code), use(doc), use(name), use(kind);
    }
}

void WriteBanks(soci::session& sql) {
    const std::pair<const char*, const char*> banks[] = {
        {"001", "Banco do Brasil S.A."},    {"033", "Banco Santander (Brasil) S.A."},
        {"104", "Caixa Econômica Federal"}, {"237", "Banco Bradesco S.A."},
        {"341", "Itaú Unibanco S.A."},
    };
    for (const auto& [c, n] : banks) {
        std::string code = c, name = n;
        sql << "INSERT INTO BANCO (CDBANCO, NMBANCO) VALUES (:c, :n)", use(code), use(name);
    }
    struct TConta {
        const char *Redu, *Banco, *Agencia, *Conta, *Ds;
    };
    const TConta contas[] = {
        {"001", "001", "3061", "100200-3", "Movimento BB"},
        {"002", "104", "0235", "000456-7", "Movimento CEF"},
        {"003", "341", "0912", "45678-9", "Movimento Itaú"},
        {"004", "237", "1520", "0098765-1", "Cobrança Bradesco"},
        {"005", "033", "4410", "13000777-2", "Aplicação Santander"},
    };
    for (const TConta& c : contas) {
        std::string redu = c.Redu, banco = c.Banco, ag = c.Agencia, conta = c.Conta, ds = c.Ds;
        sql << "INSERT INTO CONTCORR (CDBANCO, CDAGENCIA, CDCONTCORR, DSCONTCORR, CDREDUCONT)"
               " VALUES (:b, :a, :c, :d, :r)",
            use(banco), use(ag), use(conta), use(ds), use(redu);
    }
}

void WriteBranchesAndCentres(soci::session& sql) {
    const std::pair<const char*, const char*> branches[] = {
        {"0001", "Matriz São Paulo"},    {"0002", "Filial Campinas"}, {"0003", "Filial Belo Horizonte"},
        {"0004", "Filial Porto Alegre"}, {"0005", "Filial Recife"},   {"0006", "Filial Curitiba"},
    };
    for (const auto& [c, n] : branches) {
        std::string code = c, name = n;
        sql << "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES (:c, :n)", use(code), use(name);
    }
    const std::pair<const char*, const char*> centres[] = {
        {"1001", "Administração"},    {"1002", "Financeiro"},
        {"1003", "Recursos Humanos"}, {"2001", "Comercial"},
        {"2002", "Marketing"},        {"3001", "Logística"},
        {"3002", "Produção"},         {"4001", "Tecnologia da Informação"},
    };
    for (const auto& [c, n] : centres) {
        std::string code = c, name = n;
        sql << "INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES (:c, :n)", use(code), use(name);
    }
    for (const auto& [filial, list] : kBranchCentres)
        for (const std::string& cc : list) {
            std::string f = filial, c = cc;
            sql << "INSERT INTO CENTCUSTFIL (CDCENTCUST, CDFILIAL) VALUES (:c, :f)", use(c), use(f);
        }
    for (const auto& [empresa, list] : kCompanyBranches)
        for (const std::string& filial : list) {
            std::string e = empresa, f = filial;
            sql << "INSERT INTO EMPRFILIAL (CDEMPRESA, CDFILIAL) VALUES (:e, :f)", use(e), use(f);
        }
}

int CurrentYear() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

}  // namespace

const std::vector<TAccount>& Accounts() { return kAccounts; }

const TAccount& Account(const std::string& code) {
    for (const TAccount& a : kAccounts)
        if (code == a.Code) return a;
    throw std::logic_error("conta de demonstração desconhecida: " + code);
}

const std::vector<std::string>& CompanyBranches(const std::string& empresa) { return kCompanyBranches.at(empresa); }

const std::vector<std::string>& BranchCentres(const std::string& filial) { return kBranchCentres.at(filial); }

const std::string& HistText(const std::string& code) { return kHistories.at(code); }
int ClientCount() { return kClients; }
int SupplierCount() { return kSuppliers; }
const std::vector<std::string>& BankAccounts() { return kBankAccounts; }

std::string Code6(long n) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%06ld", n);
    return buf;
}

void WriteReference(soci::session& sql, int year) {
    WriteCompanies(sql, year);
    WriteAccounts(sql);
    WriteHistories(sql);
    WriteParties(sql);
    WriteBanks(sql);
    WriteBranchesAndCentres(sql);
}

}  // namespace ctbdemo

bool ParseDemoSize(const std::string& text, long& lines) {
    if (text == "small") lines = 1000;
    else if (text == "normal") lines = 6000;
    else if (text == "large") lines = 100000;
    else {
        if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
        lines = std::stol(text);
        if (lines < 50) return false;
    }
    return true;
}

TDemoSummary GenerateDemo(const std::string& dbUrl, const TDemoOptions& options) {
    using namespace ctbstore;
    TDbTarget target = ParseDbUrl(dbUrl);
    auto sql = OpenSession(target);
    ApplySchema(*sql, target.Dialect);
    int year = options.Year > 0 ? options.Year : ctbdemo::CurrentYear();
    try {
        TTransaction tx(*sql, target.Dialect, true);
        long companies = 0;
        *sql << "SELECT COUNT(*) FROM EMPRESA", soci::into(companies);
        if (companies > 0)
            Refuse(TErrorKind::Banco, "O banco de dados " + target.Display +
                                          " já contém empresas; a demonstração só é gerada num banco vazio.");
        ctbdemo::WriteReference(*sql, year);
        TDemoSummary summary = ctbdemo::WriteEntries(*sql, options, year);
        // Statistics let the planner pick the document and account indexes
        // over the date index when a filter names them.
        *sql << "ANALYZE";
        tx.Commit();
        return summary;
    } catch (const ERpcError&) {
        throw;
    } catch (const std::exception& e) {
        throw DatabaseError(e, "gerar o banco de demonstração");
    }
}
