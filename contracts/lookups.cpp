// The lookup dialogs and the busy animation: thin wrappers over the ui
// services that a front end provides.
#include "contracts/pesqarvore.h"
#include "contracts/pesqlista.h"
#include "contracts/pesquisa.h"
#include "contracts/showavi.h"

#include "platform/data/datasource.h"
#include "platform/ui/services.h"

namespace {

bool openDataSet(const TDataSource* ds) { return ds && ds->DataSet() && ds->DataSet()->Active(); }

}  // namespace

namespace Pesquisa {

bool Pesquisar(TDataSource* dataSource, const std::string& title, bool, bool) {
    if (!openDataSet(dataSource)) return false;
    return Services().Pesquisar(dataSource, title);
}

}  // namespace Pesquisa

namespace Pesqlista {

bool PesquisaLista(TDataSource* dataSource, const std::string& keyField, const std::string& title, bool,
                   std::string& list) {
    if (!openDataSet(dataSource)) return false;
    std::string chosen = list;
    if (!Services().PesquisaLista(dataSource, keyField, title, chosen)) return false;
    list = chosen;
    return true;
}

std::vector<std::string> CodesOf(const std::string& list) {
    std::vector<std::string> codes;
    std::size_t i = 0;
    while (i < list.size()) {
        if (list[i] != '_') {
            ++i;
            continue;
        }
        const std::size_t end = list.find('_', i + 1);
        if (end == std::string::npos) break;
        codes.push_back(list.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    return codes;
}

std::string ListOf(const std::vector<std::string>& codes) {
    std::string list;
    for (const std::string& c : codes) list += "_" + c + "_";
    return list;
}

bool InList(const std::string& list, const std::string& code) {
    return list.find("_" + code + "_") != std::string::npos;
}

}  // namespace Pesqlista

namespace Pesqarvore {

bool PesqArv(TDataSource* dataSource, const std::string& picture, const std::vector<std::string>& fields,
             const std::string& title, std::string& code) {
    if (!openDataSet(dataSource) || fields.empty()) return false;
    std::string chosen = code;
    if (!Services().PesqArv(dataSource, picture, fields, title, chosen)) return false;
    code = chosen;
    return true;
}

}  // namespace Pesqarvore

namespace Showavi {

void ActiveShowAvi(TComponent*, int kind) { Services().BusyActivate(kind); }
void DeactiveShowAvi() { Services().BusyDeactivate(); }

}  // namespace Showavi

TShowAviGuard::TShowAviGuard(TComponent* owner, int kind) { Showavi::ActiveShowAvi(owner, kind); }

TShowAviGuard::~TShowAviGuard() { Release(); }

void TShowAviGuard::Release() {
    if (!active_) return;
    active_ = false;
    Showavi::DeactiveShowAvi();
}
