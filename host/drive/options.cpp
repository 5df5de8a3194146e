#include "host/drive/options.h"

#include "host/drive/compare.h"
#include "host/drive/script.h"

#include <cstdlib>

namespace drive {

bool SplitHostPort(const std::string& text, std::string& host, int& port) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
    std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    int p = std::atoi(digits.c_str());
    if (p < 1 || p > 65535) return false;
    host = text.substr(0, colon);
    port = p;
    return true;
}

bool ParseOptions(int argc, char** argv, Options& out, std::string& error) {
    struct Valued { const char* name; std::string* value; };
    Valued valued[] = {{"--db", &out.dbFile},       {"--db-url", &out.dbUrl},
                       {"--server", &out.server},   {"--company", &out.company},
                       {"--operator", &out.operatorName}, {"--today", &out.today},
                       {"--token-file", &out.tokenFile}};
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") { out.help = true; continue; }
        if (a == "--timings") { out.timings = true; continue; }
        bool matched = false;
        for (Valued& v : valued) {
            if (a != v.name) continue;
            if (i + 1 >= argc) { error = a + " needs a value"; return false; }
            *v.value = argv[++i];
            matched = true;
        }
        if (matched) continue;
        if (a.size() > 1 && a[0] == '-') { error = "unknown option " + a; return false; }
        out.scripts.push_back(a);
    }
    if (!out.dbFile.empty() && !out.dbUrl.empty()) { error = "give --db or --db-url, not both"; return false; }
    std::string host;
    int port = 0;
    if (!out.server.empty() && !SplitHostPort(out.server, host, port)) {
        error = "--server must be HOST:PORT: " + out.server;
        return false;
    }
    int y, m, d;
    if (!out.today.empty() && (out.today.find('-') == std::string::npos || !ParseDate(out.today, y, m, d))) {
        error = "--today must be a date YYYY-MM-DD: " + out.today;
        return false;
    }
    if (out.company.empty()) { error = "--company must not be empty"; return false; }
    if (!out.help && out.scripts.empty()) { error = "no script given"; return false; }
    return true;
}

std::string UsageText() {
    return std::string(
               "usage: ctb-drive [--db FILE | --db-url URL] [--server HOST:PORT] [--company 01]\n"
               "                 [--operator NAME] [--today YYYY-MM-DD] [--token-file FILE]\n"
               "                 [--timings] SCRIPT...\n"
               "\n"
               "Runs scenario scripts against the module (libctb11000.so beside ctb-drive, or\n"
               "CTB_MODULE), an application server and a database. Without --server it starts\n"
               "ctb11000-server beside ctb-drive on a free loopback port; --db naming a missing\n"
               "file creates it with ctb-demo (of the --today year). The driver's main window\n"
               "is the form frmPrincipal. --timings prints each command's elapsed time.\n"
               "--token-file names the access token of a server that asks for one (also\n"
               "CTB_SERVER_TOKEN_FILE); a private server is started with it too.\n"
               "\n"
               "One command a line; '#' starts a comment; \"text\" with \\\" and \\\\ escapes.\n"
               "Names: an unqualified name is looked up in the active modal form, then in the\n"
               "other open forms; FORM.NAME names one form's component.\n"
               "\n"
               "Commands:\n") +
           CommandSummary() +
           "\n"
           "Properties for expect PATH \"value\" (names without regard to case):\n"
           "  control   Text Enabled Visible Showing Checked Focused Caption Hint Tag\n"
           "            ClassName; Number (number edit) Date (date edit, dd/mm/yyyy)\n"
           "            ActivePage (page control) ReadOnly MaxLength DisplayText\n"
           "            EditMask (edits) ItemIndex (combo box)\n"
           "  grid      Columns (visible columns' fields, comma-separated)\n"
           "            SelectedField RowCount Row (from 1) EditorActive Text (cell)\n"
           "  data set  State RecordCount Filtered Filter Active IsEmpty RecNo\n"
           "            ChangeCount Modified; DS.FIELD (its value as text);\n"
           "            DS.FIELD.DisplayText DS.FIELD.Text DS.FIELD.IsNull\n"
           "            (a data source answers for its data set)\n"
           "  form      Caption Visible Modal WindowState FormStyle ActiveControl\n"
           "            Instance (how many forms of its class were created, from 1)\n"
           "            FORM.MEMBER: the working members the form publishes\n"
           "  Application.FormCount Application.Forms (names, activation order)\n"
           "  Application.ModalForm Screen.Cursor (crDefault crHourGlass ...)\n"
           "  Screen.ActiveControl Screen.ActiveForm\n"
           "Numbers compare as numbers (\"100\" = \"100,00\"), dates as dd/mm/yyyy, booleans\n"
           "as true/false.\n"
           "\n"
           "Message boxes without a queued answer take OK (No for a question); the driver\n"
           "prints a line naming each. A modal form open at the end is cancelled. Each\n"
           "failure is printed with its line; the run ends with \"N passed, N failed\" and\n"
           "exits 0 only when none failed.\n";
}

}  // namespace drive
