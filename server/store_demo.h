// The demo database generator (program ctb-demo, server/demo/main.cpp).
//
// Reference data is fixed; the generated year of entries depends only on the
// seed, the size and the year, so the same arguments give the same database.
// Y below is the year asked for (default: the current year).
//
// Facts that tests and scenario scripts rely on
// ---------------------------------------------
// Companies (EMPRESA / CONTOPECTBL):
//   code  IDCONTGERE IDCONTCOME IDSUGRAT IDMSMCONTADBCR  accounting period        posting period
//   01    S          S          S        N               Y-01-01..Y-12-31         Y-01-01..Y-12-31
//   02    N          N          N        S               Y-01-01..Y-12-31         Y-01-01..Y-12-31
//   03    N          S          N        N               (Y-1)-01-01..Y-12-31     Y-01-01..Y-12-31
//   04    no CONTOPECTBL row (company without accounting parameters)
//   (a date of year Y-1 on company 03 is inside the accounting period but
//   outside the posting period: DATALANC_FORA; any date outside Y on 01/02:
//   PERIODO_FORA)
//
// Branches (FILIAL): 0001 Matriz São Paulo, 0002 Campinas, 0003 Belo
//   Horizonte, 0004 Porto Alegre, 0005 Recife, 0006 Curitiba.
// Branch-company relation (EMPRFILIAL): 01: 0001 0002 0003 0005;
//   02: 0003 0006; 03: 0004 0006; 04: 0001.  => 0004 and 0006 are NOT
//   related to company 01.
// Cost centres (CENTCUST): 1001 Administração, 1002 Financeiro, 1003 Recursos
//   Humanos, 2001 Comercial, 2002 Marketing, 3001 Logística, 3002 Produção,
//   4001 Tecnologia da Informação.
// Cost centre per branch (CENTCUSTFIL):
//   0001: 1001 1002 1003 2001 2002 3001 4001   (3002 NOT allowed in 0001)
//   0002: 1001 2001 3001     0003: 1001 2001 2002 3002     0004: 3001 3002
//   0005: 1001 2001          0006: 3002 4001
//
// Chart of accounts (CONTCTBL), picture 9.9.9.99.99999, codes without
// literals. Synthetic ('S'): 1, 11, 111, 11101, 112, 11201, 113, 11301, 12,
// 121, 12101, 2, 21, 211, 21101, 212, 21201, 213, 21301, 23, 231, 23101, 3,
// 31, 311, 31101, 4, 41, 411, 41101, 412, 41201, 42, 421, 42101.
// Analytic ('A'), with reduced code, IDCONTCCUS and IDTIPOCOME:
//   1110100001 101 Caixa Geral                    ''  ''
//   1110100002 102 Banco do Brasil C/C            ''  B
//   1110100003 103 Caixa Econômica Federal C/C    ''  B
//   1110100004 104 Banco Itaú C/C                 ''  B
//   1120100001 111 Clientes Nacionais             ''  C
//   1130100001 121 Estoque de Mercadorias         O   ''
//   1210100001 131 Móveis e Utensílios            L   ''
//   1210100002 132 Veículos                       L   ''
//   2110100001 201 Fornecedores Nacionais         ''  F
//   2120100001 211 ICMS a Recolher                ''  ''
//   2120100002 212 PIS a Recolher                 ''  ''
//   2120100003 213 COFINS a Recolher              ''  ''
//   2130100001 221 Salários a Pagar               ''  ''
//   2130100002 222 INSS a Recolher                ''  ''
//   2310100001 231 Capital Social Realizado       ''  ''
//   3110100001 301 Venda de Mercadorias           R   ''
//   3110100002 302 Prestação de Serviços          R   ''
//   4110100001 401 Aluguéis                       G   F
//   4110100002 402 Energia Elétrica               G   F
//   4110100003 403 Material de Escritório         L   ''
//   4110100004 404 Salários e Ordenados           G   ''
//   4110100005 405 Tarifas Bancárias              O   B
//   4110100006 406 Impostos e Taxas               O   ''
//   4120100001 411 Propaganda e Publicidade       G   F
//   4120100002 412 Fretes e Carretos              L   F
//   4210100001 421 Custo das Mercadorias Vendidas R   ''
//
// Standard histories (HISTPADR): 0001 Venda de mercadorias conforme nota
//   fiscal, 0002 Pagamento a fornecedor, 0003 Recebimento de cliente,
//   0004 Pagamento de aluguel, 0005 Folha de pagamento do mês, 0006 Depósito
//   bancário, 0007 Tarifa bancária, 0008 Apuração de ICMS, 0009 Conta de
//   energia elétrica, 0010 Frete sobre vendas, 0011 Compra de material de
//   escritório, 0012 Transferência entre contas, 0013 Prestação de serviços,
//   0014 Propaganda e publicidade, 0015 Custo das mercadorias vendidas,
//   0016 Apuração de PIS e COFINS, 0099 Encerramento do exercício.
// Clients (CLIENTE) 000001..000040: 000001 Supermercado Bom Preço Ltda ('J',
//   CNPJ), 000002 Maria Aparecida da Silva ('F', CPF). Suppliers (FORNECEDOR)
//   000001..000030: 000001 Distribuidora Paulista de Bebidas Ltda,
//   000002 Imobiliária Horizonte Ltda, 000003 Companhia Energética Planalto
//   S.A., 000004 Papelaria Central Ltda.
// Banks (BANCO) 001, 033, 104, 237, 341. Bank accounts (CONTCORR,
//   CDREDUCONT): 001 (banco 001), 002 (104), 003 (341), 004 (237), 005 (033).
//
// Fixed entries (numbers are Y + month + sequence, 12 characters):
//   01 / Y01000001  Y-01-02 doc 004512, manual ('M'):
//        00001 1120100001  -1500.00  C 000001   hist 0001
//        00002 3110100001  +1500.00             hist 0001, three
//              apportionment lines: 0001/2001 900.00, 0002/2001 400.00,
//              0003/2002 200.00 (competence Y-01-02)
//   01 / Y01000002  Y-01-05 doc 000777, batch entry: IDLANCINTE 'L',
//        IDSISTEMA 'LTO', batch code 000123:
//        00001 4110100001 -3200.00 F 000002 (apportioned 0001/1001 -3200.00)
//        00002 1110100002 +3200.00 B 001
//   01 / Y01000003  Y-01-31 doc 000031, 'I' / 'FIS', tied to the tax map
//        MES "Janeiro", ANO Y, IMPOSTO "ICMS":
//        00001 4110100006 -850.00;  00002 2120100001 +850.00
//   01 / Y01000004  Y-01-10 doc 000410, manual: an 'O' line that still has
//        apportionment: 00001 4110100005 -45.90 B 001 (0001/1002 -45.90);
//        00002 1110100002 +45.90 B 001
//   01 / Y01000005  Y-01-15 doc 000415, manual: 00001 4110100003 -230.00
//        (no apportionment); 00002 4110100002 -1200.00 F 000003 (0001/1001
//        -700.00, 0002/3001 -500.00); 00003 2110100001 +1430.00 F 000004
//   01 / Y01000006  Y-01-20 doc 000620, manual, a mirrored apportionment:
//        00001 4110100001 -2000.00 F 000002 (0001/1001 -1200.00, 0002/2001
//        -800.00); 00002 4110100002 -500.00 F 000003 (0001/1001 -300.00,
//        0002/2001 -200.00); 00003 2110100001 +2500.00 F 000002
//   01 / Y12000001  Y-12-31 closing 'F', batch 000900;
//   01 / Y12000002  Y-12-31 closing 'S', batch 000901
//   02 / Y01000001  Y-01-03 doc 000103, manual: 4110100001 -2000.00,
//        1110100001 +2000.00
//   02 / Y12000001  Y-12-31 closing 'F', batch 000902
//   03 / Y01000001  Y-01-04 doc 000104, manual: 1120100001 -780.00 C 000003,
//        3110100002 +780.00
// The generated entries follow these numbers in each month; NUMLANCCONT holds
// the last sequence used per company and month. Generated batch entries ('L',
// 'LTO') belong to batches 000201 onwards; about a third of the tax entries (ICMS,
// PIS/COFINS) are tied to the map of their month. Origins: 'M' manual (most),
// 'I' integration (IDSISTEMA FAI, DFS, REC, PAG, FIS, BCO, EXP, VND), 'T'
// transfer (BCO), 'L' batch (LTO). Amounts are whole cents; every entry and
// every apportioned line adds up exactly. Operators: ANA.SOUZA, CARLOS.LIMA,
// JOAO.PEREIRA, MARIA.SANTOS.
#pragma once

#include <cstdint>
#include <string>

struct TDemoOptions {
    std::uint64_t Seed = 1;
    long Lines = 6000;  // about this many entry lines in all
    int Year = 0;       // 0: the current year
};

struct TDemoSummary {
    long Entries = 0;
    long Lines = 0;
    long Apportionments = 0;
};

// Sizes: "small" (1,000 lines), "normal" (6,000), "large" (100,000) or a
// number of lines (at least 50). Returns false for anything else.
bool ParseDemoSize(const std::string& text, long& lines);

// Creates the schema and fills the database in one transaction. Throws
// ERpcError "banco" when the database cannot be opened or already holds
// companies (a demo is only written into an empty database).
TDemoSummary GenerateDemo(const std::string& dbUrl, const TDemoOptions& options);
