// Pesquisa: the single-pick lookup dialog over a data source. The front end's
// lookup service shows it (the headless one answers from its queue).
#pragma once

#include <string>

class TDataSource;

namespace Pesquisa {

// Lets the user pick one row of the data source's data set. True when a row
// was picked: the data set then stands on it. The title is two texts joined
// by "|": the dialog's caption and the text shown when there is nothing to
// pick. A data source without an open data set gives false. The two flags
// belong to the suite's call shape and are passed on unused.
bool Pesquisar(TDataSource* dataSource, const std::string& title, bool multi = false, bool showAll = true);

}  // namespace Pesquisa
