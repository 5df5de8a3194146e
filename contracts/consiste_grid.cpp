// Consiste::IndiceCol: finds a grid's column by its field.
#include "contracts/consiste.h"

#include "platform/ui/grid.h"

#include <cctype>

namespace {

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

namespace Consiste {

int IndiceCol(const TDBGrid* grid, const std::string& fieldName) {
    if (!grid) return -1;
    for (int i = 0; i < grid->Columns->Count(); ++i)
        if (sameName(grid->Columns->Items(i)->FieldName, fieldName)) return i;
    return -1;
}

}  // namespace Consiste
