// Consiste::IndiceCol: finds a grid's column by its field.
#include "contracts/consiste.h"

#include "platform/data/text.h"
#include "platform/ui/grid.h"

namespace Consiste {

int IndiceCol(const TDBGrid* grid, const std::string& fieldName) {
    if (!grid) return -1;
    for (int i = 0; i < grid->Columns->Count(); ++i)
        if (SameText(grid->Columns->Items(i)->FieldName, fieldName)) return i;
    return -1;
}

}  // namespace Consiste
