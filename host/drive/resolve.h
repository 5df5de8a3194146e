// Name lookup of the scenario driver. A script names a control, grid, data
// set, data source or form as its screen does:
//   NAME        first in the active modal form, then in the other open forms
//               (the active one, then the most recent; hidden forms last);
//   FORM.NAME   NAME within the form FORM;
//   FORM        the form itself.
// Components are found through the ownership tree (a form owns its
// components, which may own further ones), names compared without regard to
// case.
#pragma once

#include <string>
#include <vector>

class TComponent;
class TForm;

namespace drive {

// The forms in lookup order.
std::vector<TForm*> FormsInLookupOrder();

TForm* FindForm(const std::string& name);
// Depth-first search of the components `root` owns (not root itself).
TComponent* FindOwned(const TComponent* root, const std::string& name);

// Resolves a whole path to one component; nullptr with `error` set when
// nothing (or a form with no such component) answers to it.
TComponent* ResolveComponent(const std::string& path, std::string& error);

// Resolves as much of a dotted path as names a component; the remaining
// words are the property path (at least one). Special roots "Application"
// and "Screen" come back as nullptr with `root` set.
struct PropertyTarget {
    TComponent* component = nullptr;
    std::string root;  // "Application" or "Screen"
    std::vector<std::string> property;
    std::string error;
};
PropertyTarget ResolveProperty(const std::string& path);

std::vector<std::string> SplitPath(const std::string& path);

}  // namespace drive
