// ctb11000-server --db <url> [--create] [--listen ADDRESS:PORT] [--token-file FILE]
//
// The application server of the journal-entry module. Listens on loopback
// unless told otherwise; without --listen (or with port 0) the system picks a
// free port. Listening on any other address requires a token file (also
// named by CTB_SERVER_TOKEN_FILE): every client must then open its session
// with that token before any method runs. Once listening it prints
// "escutando em ADDRESS:PORT" on stdout (ctb-drive reads the port from it)
// and serves until SIGINT or SIGTERM, then stops gracefully. A database file
// that does not exist is refused unless --create asks for a new, empty one
// (ctb-demo makes a demo database).
#include "platform/net/session_token.h"
#include "server/rpc_server.h"

#if __has_include("server/store.h")
#include "server/store.h"
#include "server/store_internal.h"
#define CTB_HAVE_STORE 1
#endif

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

struct TOptions {
    std::string db;
    std::string address = "127.0.0.1";
    int port = 0;
    bool create = false;
    bool help = false;
    std::string tokenFile;
};

const char* UsageText() {
    return "uso: ctb11000-server --db URL [--create] [--listen ENDEREÇO:PORTA] [--token-file ARQUIVO]\n"
           "\n"
           "O servidor de aplicação do lançamento contábil (MessagePack-RPC sobre TCP;\n"
           "docs/protocol.md). Serve até receber SIGINT (Ctrl+C) ou SIGTERM.\n"
           "\n"
           "  --db URL        o banco da empresa: um arquivo SQLite (caminho,\n"
           "                  sqlite3://ARQUIVO, sqlite://ARQUIVO, sqlite3://db=ARQUIVO ...)\n"
           "                  ou PostgreSQL (postgresql://usuario@host/banco,\n"
           "                  \"postgresql: dbname=banco host=...\")\n"
           "  --create        cria um banco SQLite vazio (só o esquema) quando o arquivo\n"
           "                  não existe; sem ele um arquivo inexistente é recusado\n"
           "                  (ctb-demo cria um banco de demonstração)\n"
           "  --listen E:P    endereço e porta (127.0.0.1:PORTA, [::1]:PORTA, :PORTA);\n"
           "                  sem ele, 127.0.0.1 numa porta livre escolhida pelo sistema.\n"
           "                  Pronto, escreve \"escutando em ENDEREÇO:PORTA\" na saída.\n"
           "  --token-file ARQUIVO  o segredo que todo cliente apresenta ao abrir a\n"
           "                  sessão (também CTB_SERVER_TOKEN_FILE); obrigatório para\n"
           "                  escutar fora de 127.0.0.1\n"
           "  --help          mostra este texto\n";
}

int Usage(const std::string& problem) {
    std::cerr << "ctb11000-server: " << problem << "\n\n" << UsageText();
    return 2;
}

// Only this machine reaches it: 127.0.0.0/8, ::1 or localhost.
bool IsLoopback(const std::string& address) {
    return address == "localhost" || address == "::1" || address.rfind("127.", 0) == 0;
}

// "ADDRESS:PORT", "[v6]:PORT" or ":PORT".
bool ParseListen(const std::string& text, TOptions& o) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    std::string host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return false;
    const int p = std::stoi(port);
    if (p > 65535) return false;
    if (!host.empty()) o.address = host;
    o.port = p;
    return true;
}

bool ParseArgs(int argc, char** argv, TOptions& o, std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            o.help = true;
            return true;
        }
        if (a == "--create") {
            o.create = true;
            continue;
        }
        if ((a == "--db" || a == "--listen" || a == "--token-file") && i + 1 >= argc) {
            problem = "falta o valor de " + a;
            return false;
        }
        if (a == "--db") {
            o.db = argv[++i];
        } else if (a == "--token-file") {
            o.tokenFile = argv[++i];
        } else if (a == "--listen") {
            if (!ParseListen(argv[++i], o)) {
                problem = std::string("endereço inválido em --listen: ") + argv[i];
                return false;
            }
        } else {
            problem = "opção desconhecida: " + a;
            return false;
        }
    }
    if (o.db.empty()) {
        problem = "falta --db";
        return false;
    }
    if (o.tokenFile.empty()) {
        const char* env = std::getenv("CTB_SERVER_TOKEN_FILE");
        if (env) o.tokenFile = env;
    }
    if (o.tokenFile.empty() && !IsLoopback(o.address)) {
        problem = "escutar em " + o.address +
                  " expõe o servidor à rede: indique a chave de acesso com --token-file ARQUIVO "
                  "(ou CTB_SERVER_TOKEN_FILE); os clientes usam o mesmo arquivo";
        return false;
    }
    return true;
}

#ifdef CTB_HAVE_STORE
// A SQLite file that does not exist is a mistyped path far more often than a
// wish for a new, empty database: it is refused unless --create says so.
bool DatabaseExists(const TOptions& o, std::string& problem) {
    ctbstore::TDbTarget target = ctbstore::ParseDbUrl(o.db);
    if (target.Dialect != ctbstore::TDialect::SQLite || o.create) return true;
    std::error_code ec;
    if (std::filesystem::exists(target.Display, ec)) return true;
    problem = "o banco de dados " + target.Display +
              " não existe. Use --create para criar um banco vazio, ou ctb-demo --db " + target.Display +
              " para um banco de demonstração.";
    return false;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    TOptions options;
    std::string problem;
    if (!ParseArgs(argc, argv, options, problem)) return Usage(problem);
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }

    // Block the stop signals before any thread starts, so only sigwait sees them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    TRpcServerOptions serverOptions;
    try {
        if (!options.tokenFile.empty()) serverOptions.Token = ReadTokenFile(options.tokenFile);
    } catch (const std::exception& e) {
        std::cerr << "ctb11000-server: " << e.what() << std::endl;
        return 2;
    }
    TRpcServer server(serverOptions);
    try {
#ifdef CTB_HAVE_STORE
        if (!DatabaseExists(options, problem)) {
            std::cerr << "ctb11000-server: " << problem << std::endl;
            return 2;
        }
        RegisterStoreMethods(server, options.db);
#else
        std::cerr << "ctb11000-server: gerado sem o armazenamento de lançamentos; nenhum método é servido\n";
#endif
        const int port = server.Start(options.address, options.port);
        const bool v6 = options.address.find(':') != std::string::npos;
        std::cout << "escutando em " << (v6 ? "[" + options.address + "]" : options.address) << ":" << port
                  << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "ctb11000-server: " << e.what() << std::endl;
        return 1;
    }

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    return 0;
}
