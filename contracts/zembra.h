// Zembra: the host's configuration as the module sees it. There is no
// configuration file of the module's own: each value starts from the host's
// environment (CTB_COMPANY, CTB_OPERATOR, CTB_SERVER_HOST, CTB_SERVER_PORT,
// CTB_SERVER_TOKEN_FILE, CTB_DB, CTB_ACCOUNT_PICTURE, CTB_REPORT_DIR,
// CTB_OUTPUT_DIR) and a host overrides it from its command line
// through the setters. Host and module share this one instance (the contracts
// library is shared).
#pragma once

#include <string>

namespace Zembra {

// Picture types of DBPict.
enum TPictType { ptNenhum = 0, ptContCtbl = 2 };

// The suite's default ledger-account picture: ten digits in levels ending
// after 1, 2, 3, 5 and 10 digits.
inline constexpr const char* kDefaultAccountPicture = "9.9.9.99.99999;0;_";

// Edit mask of a code type; "" for a type the suite does not define.
std::string DBPict(int type);
void SetDBPict(int type, const std::string& picture);

std::string EmprProc();         // host's current company
std::string Operador();         // operator code
std::string WebURL();           // application server host
int WebPort();                  // application server port (0 when not configured)
std::string ServerTokenFile();  // the server's access token file ("" = the server asks for none)
std::string DatabaseURL();      // suite database
std::string ReportDir();        // report definitions ("" = those installed with the module)
std::string OutputDir();        // where reports are written without a printer ("" = temporary folder)

void SetEmprProc(const std::string& company);
void SetOperador(const std::string& operatorCode);
void SetWebURL(const std::string& host);
void SetWebPort(int port);
void SetServerTokenFile(const std::string& path);
void SetDatabaseURL(const std::string& url);
void SetReportDir(const std::string& dir);
void SetOutputDir(const std::string& dir);

// Reads every value again from the environment, dropping what the setters
// gave (a variable that is not set gives the default).
void LoadFromEnvironment();

}  // namespace Zembra
