// Pesqlista: the multi-pick lookup dialog. The chosen codes come back as a
// code list: each code wrapped in underscores ("_01__03_"), so code c belongs
// to the list when it contains "_" + c + "_"; an empty list means none.
#pragma once

#include <string>
#include <vector>

class TDataSource;

namespace Pesqlista {

// True when the user confirmed a choice; list then holds it. On a cancel the
// list is left as it was. The flag belongs to the suite's call shape.
bool PesquisaLista(TDataSource* dataSource, const std::string& keyField, const std::string& title, bool flag,
                   std::string& list);

// Codes of a code list, in order ("_01__03_" -> {"01", "03"}).
std::vector<std::string> CodesOf(const std::string& list);
// The code list of the codes ({"01", "03"} -> "_01__03_").
std::string ListOf(const std::vector<std::string>& codes);
bool InList(const std::string& list, const std::string& code);

}  // namespace Pesqlista
