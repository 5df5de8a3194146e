#include "host/drive/options.h"

#include "host/drive/script.h"

namespace drive {

bool ParseOptions(int argc, char** argv, Options& out, std::string& error) {
    struct Valued {
        const char* name;
        std::string* value;
    };
    Valued valued[] = {{"--db", &out.dbFile},           {"--db-url", &out.dbUrl},          {"--server", &out.server},
                       {"--company", &out.company},     {"--operator", &out.operatorName}, {"--today", &out.today},
                       {"--token-file", &out.tokenFile}};
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            out.help = true;
            continue;
        }
        if (a == "--timings") {
            out.timings = true;
            continue;
        }
        bool matched = false;
        for (Valued& v : valued) {
            if (a != v.name) continue;
            if (i + 1 >= argc) {
                error = "falta o valor de " + a;
                return false;
            }
            *v.value = argv[++i];
            matched = true;
        }
        if (matched) continue;
        if (a.size() > 1 && a[0] == '-') {
            error = "opção desconhecida: " + a;
            return false;
        }
        out.scripts.push_back(a);
    }
    if (!hostcommon::CheckStartOptions(out, error)) return false;
    if (out.company.empty()) {
        error = "--company não pode ser vazio";
        return false;
    }
    if (!out.help && out.scripts.empty()) {
        error = "nenhum roteiro informado";
        return false;
    }
    return true;
}

std::string UsageText() {
    return std::string(
               "uso: ctb-drive [--db ARQUIVO | --db-url URL] [--server HOST:PORTA] [--company 01]\n"
               "               [--operator NOME] [--today AAAA-MM-DD] [--token-file ARQUIVO]\n"
               "               [--timings] ROTEIRO...\n"
               "\n"
               "Roda roteiros de cenário contra o módulo (libctb11000.so ao lado do ctb-drive,\n"
               "em ../lib/ctb11000 de uma instalação, ou CTB_MODULE), um servidor de aplicação\n"
               "e um banco de dados (docs/drive.md).\n"
               "\n"
               "  --db ARQUIVO       banco SQLite; um arquivo que não existe é criado pelo\n"
               "                     ctb-demo com dados de demonstração (do ano de --today)\n"
               "  --db-url URL       qualquer URL de banco aceita pelo servidor, como está\n"
               "  (nenhum dos dois)  o banco de CTB_DB\n"
               "  --server H:P       usa um ctb11000-server já no ar; sem ele o ctb-drive\n"
               "                     inicia o seu numa porta livre de 127.0.0.1 e o encerra\n"
               "  --company, --operator  a empresa (01) e o operador do host\n"
               "  --today AAAA-MM-DD a data que o módulo vê como hoje\n"
               "  --timings          mostra o tempo de cada comando\n"
               "\n"
               "Um comando por linha; '#' começa um comentário; \"texto\" com os escapes \\\" e \\\\.\n"
               "Nomes: um nome simples é procurado no formulário modal ativo, depois nos outros\n"
               "formulários abertos; FORMULÁRIO.NOME nomeia o componente de um formulário. A\n"
               "janela principal do ctb-drive é o formulário frmPrincipal.\n"
               "\n"
               "Comandos:\n") +
           CommandSummary() +
           "\n"
           "Propriedades de expect CAMINHO \"valor\" (sem distinguir maiúsculas):\n"
           "  controle  Text Enabled Visible Showing Checked Focused Caption Hint Tag\n"
           "            ClassName; Number (campo numérico) Date (campo de data, dd/mm/aaaa)\n"
           "            ActivePage (controle de páginas) ReadOnly MaxLength DisplayText\n"
           "            EditMask (campos) ItemIndex (caixa de combinação)\n"
           "  grade     Columns (campos das colunas visíveis, separados por vírgula)\n"
           "            SelectedField RowCount Row (a partir de 1) EditorActive Text (célula)\n"
           "  conjunto  State RecordCount Filtered Filter Active IsEmpty RecNo\n"
           "            ChangeCount Modified; DS.CAMPO (o valor como texto);\n"
           "            DS.CAMPO.DisplayText DS.CAMPO.Text DS.CAMPO.IsNull\n"
           "            (uma fonte de dados responde pelo seu conjunto)\n"
           "  formulário Caption Visible Modal WindowState FormStyle ActiveControl\n"
           "            Instance (quantos formulários da sua classe foram criados, de 1)\n"
           "            FORMULÁRIO.MEMBRO: os membros de trabalho que o formulário publica\n"
           "  Application.FormCount Application.Forms (nomes, em ordem de ativação)\n"
           "  Application.ModalForm Screen.Cursor (crDefault crHourGlass ...)\n"
           "  Screen.ActiveControl Screen.ActiveForm\n"
           "Números se comparam como números (\"100\" = \"100,00\"), datas como dd/mm/aaaa,\n"
           "booleanos como true/false.\n"
           "\n"
           "Caixas de mensagem sem resposta na fila recebem OK (Não numa pergunta); cada\n"
           "caixa e cada erro mostrados escrevem uma linha. Um formulário modal aberto no\n"
           "fim é cancelado. Um comando que não pôde ser executado (nome desconhecido,\n"
           "controle desabilitado, o foco preso por uma caixa de erro...) é uma falha,\n"
           "escrita com a sua linha; a execução termina com \"N ok, N falha(s)\" e sai com\n"
           "0 só quando não houve falha.\n";
}

}  // namespace drive
