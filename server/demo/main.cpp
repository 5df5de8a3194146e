// ctb-demo: writes the demo suite database (schema, reference data and a
// year of entries). The facts it guarantees are listed in server/store_demo.h.
//
//   ctb-demo --db FILE|URL [--seed N] [--size small|normal|large|N] [--year YYYY]
#include "server/store_demo.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

const char* kUsage =
    "uso: ctb-demo --db ARQUIVO|URL [--seed N] [--size small|normal|large|N] [--year AAAA]\n"
    "\n"
    "Cria um banco de demonstração: o esquema, empresas 01 a 04, plano de contas,\n"
    "clientes, fornecedores, bancos, filiais, centros de custo e um ano de lançamentos\n"
    "(os fatos fixos estão em server/store_demo.h). Os mesmos argumentos dão o mesmo\n"
    "banco. Só grava num banco sem empresas.\n"
    "\n"
    "  --db ARQUIVO|URL  o banco a criar: arquivo SQLite (criado se não existe) ou uma\n"
    "                    URL aceita pelo ctb11000-server (postgresql://...)\n"
    "  --seed N          a semente dos lançamentos gerados (1)\n"
    "  --size T          small (1.000 partidas), normal (6.000, o padrão), large\n"
    "                    (100.000) ou um número de partidas (50 ou mais)\n"
    "  --year AAAA       o ano dos lançamentos (o ano corrente)\n"
    "  --help            mostra este texto\n";

int Usage(const char* why) {
    std::fprintf(stderr, "ctb-demo: %s\n\n%s", why, kUsage);
    return 2;
}

bool ParseNumber(const std::string& text, unsigned long long& out) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoull(text);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string db;
    TDemoOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("%s", kUsage);
            return 0;
        }
        if (i + 1 >= argc) return Usage(("falta o valor de " + arg).c_str());
        std::string value = argv[++i];
        unsigned long long n = 0;
        if (arg == "--db") {
            db = value;
        } else if (arg == "--seed") {
            if (!ParseNumber(value, n)) return Usage("semente inválida");
            options.Seed = n;
        } else if (arg == "--size") {
            if (!ParseDemoSize(value, options.Lines)) return Usage("tamanho inválido");
        } else if (arg == "--year") {
            if (!ParseNumber(value, n) || n < 1901 || n > 9998) return Usage("ano inválido");
            options.Year = static_cast<int>(n);
        } else {
            return Usage(("opção desconhecida: " + arg).c_str());
        }
    }
    if (db.empty()) return Usage("informe --db");
    try {
        TDemoSummary s = GenerateDemo(db, options);
        std::printf("%ld lançamentos, %ld partidas, %ld rateios gravados em %s\n", s.Entries, s.Lines, s.Apportionments,
                    db.c_str());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ctb-demo: %s\n", e.what());
        return 1;
    }
}
