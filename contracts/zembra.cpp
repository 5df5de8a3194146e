#include "contracts/zembra.h"

#include <cstdlib>
#include <map>

namespace {

struct Config {
    std::string company;
    std::string operatorCode;
    std::string host = "127.0.0.1";
    int port = 0;
    std::string tokenFile;
    std::string database;
    std::string reportDir;
    std::string outputDir;
    std::map<int, std::string> pictures;
};

std::string env(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

// A port is a whole number in 1..65535; anything else counts as unset.
int parsePort(const std::string& text) {
    if (text.empty() || text.size() > 5) return 0;
    int port = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        port = port * 10 + (c - '0');
    }
    return port <= 65535 ? port : 0;
}

Config fromEnvironment() {
    Config c;
    c.company = env("CTB_COMPANY", "");
    c.operatorCode = env("CTB_OPERATOR", "");
    c.host = env("CTB_SERVER_HOST", "127.0.0.1");
    c.port = parsePort(env("CTB_SERVER_PORT", ""));
    c.tokenFile = env("CTB_SERVER_TOKEN_FILE", "");
    c.database = env("CTB_DB", "");
    c.reportDir = env("CTB_REPORT_DIR", "");
    c.outputDir = env("CTB_OUTPUT_DIR", "");
    c.pictures[Zembra::ptContCtbl] = env("CTB_ACCOUNT_PICTURE", Zembra::kDefaultAccountPicture);
    return c;
}

Config& config() {
    static Config c = fromEnvironment();
    return c;
}

}  // namespace

namespace Zembra {

std::string DBPict(int type) {
    const auto& pictures = config().pictures;
    const auto it = pictures.find(type);
    return it == pictures.end() ? std::string() : it->second;
}

void SetDBPict(int type, const std::string& picture) { config().pictures[type] = picture; }

std::string EmprProc() { return config().company; }
std::string Operador() { return config().operatorCode; }
std::string WebURL() { return config().host; }
int WebPort() { return config().port; }
std::string ServerTokenFile() { return config().tokenFile; }
std::string DatabaseURL() { return config().database; }
std::string ReportDir() { return config().reportDir; }
std::string OutputDir() { return config().outputDir; }

void SetEmprProc(const std::string& company) { config().company = company; }
void SetOperador(const std::string& operatorCode) { config().operatorCode = operatorCode; }
void SetWebURL(const std::string& host) { config().host = host; }
void SetWebPort(int port) { config().port = (port > 0 && port <= 65535) ? port : 0; }
void SetServerTokenFile(const std::string& path) { config().tokenFile = path; }
void SetDatabaseURL(const std::string& url) { config().database = url; }
void SetReportDir(const std::string& dir) { config().reportDir = dir; }
void SetOutputDir(const std::string& dir) { config().outputDir = dir; }

void LoadFromEnvironment() { config() = fromEnvironment(); }

}  // namespace Zembra
