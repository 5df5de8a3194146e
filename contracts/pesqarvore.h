// Pesqarvore: the account tree lookup. The tree is built from the data set
// by the levels of the picture; fields names the code field, the level field,
// the name field and a fourth item (the suite passes "1": analytic accounts
// only may be picked).
#pragma once

#include <string>
#include <vector>

class TDataSource;

namespace Pesqarvore {

// True when an account was picked: the data set then stands on it and code
// holds its code. code comes in as the current value (where the tree opens).
bool PesqArv(TDataSource* dataSource, const std::string& picture, const std::vector<std::string>& fields,
             const std::string& title, std::string& code);

}  // namespace Pesqarvore
