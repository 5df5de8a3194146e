#include "host/desktop/options.h"

namespace desk {

bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error) {
    struct Valued {
        const char* name;
        std::string* value;
    };
    const Valued valued[] = {{"--db", &out.dbFile},
                             {"--db-url", &out.dbUrl},
                             {"--server", &out.server},
                             {"--company", &out.company},
                             {"--operator", &out.operatorName},
                             {"--today", &out.today},
                             {"--screenshots", &out.screenshots},
                             {"--token-file", &out.tokenFile}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out.help = true;
            continue;
        }
        if (a == "--open") {
            out.open = true;
            continue;
        }
        bool matched = false;
        for (const Valued& v : valued) {
            if (a != v.name) continue;
            if (i + 1 >= args.size()) {
                error = "falta o valor de " + a;
                return false;
            }
            *v.value = args[++i];
            matched = true;
        }
        if (!matched) {
            error = "opção desconhecida: " + a;
            return false;
        }
    }
    if (!hostcommon::CheckStartOptions(out, error)) return false;
    if (out.company.empty() || out.company.size() > 2 || out.company.find(' ') != std::string::npos) {
        error = "--company deve ser um código de um ou dois caracteres: " + out.company;
        return false;
    }
    return true;
}

bool WantsHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

std::string UsageText() {
    return "uso: ctb-host [--db ARQUIVO | --db-url URL] [--server HOST:PORTA] [--company 01]\n"
           "              [--operator NOME] [--today AAAA-MM-DD] [--open] [--screenshots PASTA]\n"
           "              [--token-file ARQUIVO]\n"
           "\n"
           "Abre a janela principal do sistema; o comando Contabilidade > Lançamento Contábil\n"
           "carrega o módulo (libctb11000.so ao lado do ctb-host, em ../lib/ctb11000 de uma\n"
           "instalação, ou CTB_MODULE) e abre a tela de lançamentos.\n"
           "\n"
           "  --db ARQUIVO       banco SQLite; um arquivo que não existe é criado pelo\n"
           "                     ctb-demo com dados de demonstração\n"
           "  --db-url URL       qualquer URL de banco aceita pelo servidor, como está\n"
           "  (nenhum dos dois)  o banco de CTB_DB\n"
           "  --server H:P       usa um ctb11000-server já no ar; sem ele o ctb-host inicia\n"
           "                     o seu numa porta livre de 127.0.0.1 (a barra de status\n"
           "                     mostra \"Servidor: local\"; a dica dá a porta)\n"
           "  --company, --operator  a empresa (01) e o operador\n"
           "  --today AAAA-MM-DD a data que o módulo vê como hoje\n"
           "  --open             abre a tela de lançamentos já no início\n"
           "  --screenshots PASTA  desenha as telas e os diálogos em arquivos PNG na PASTA e\n"
           "                     sai (sem tela: usa a plataforma offscreen)\n"
           "  --token-file ARQUIVO  o segredo de um servidor que o pede (também\n"
           "                     CTB_SERVER_TOKEN_FILE)\n"
           "\n"
           "Fecha-se pelo menu Sistema > Sair, fechando a janela ou com Ctrl+C no terminal.\n"
           "Sem tela (DISPLAY ou WAYLAND_DISPLAY), use QT_QPA_PLATFORM=vnc scripts/run: um\n"
           "servidor VNC só em 127.0.0.1 (porta 5900; de outra máquina, por túnel SSH). A\n"
           "plataforma offscreen não mostra janela nenhuma: só serve com --screenshots.\n";
}

}  // namespace desk
