#include "contracts/published.h"

#include <map>

int NextFormInstance(const std::string& classKey) {
    static std::map<std::string, int> counts;  // user-interface thread only
    return ++counts[classKey];
}
