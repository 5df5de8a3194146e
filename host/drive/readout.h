// What `expect` reads and `dump` prints: the properties of controls, grids,
// data sets and forms as text. A property that does not exist (or a field a
// data set lacks) is an error, never an empty value, so a misspelt
// expectation fails instead of passing by chance.
#pragma once

#include "platform/data/text.h"

#include <string>
#include <vector>

class TComponent;
class TDataSet;

namespace drive {

struct Reading {
    bool ok = false;
    std::string value;
    std::string error;

    static Reading Value(std::string v) { return {true, std::move(v), {}}; }
    static Reading Error(std::string e) { return {false, {}, std::move(e)}; }
};

// path is what follows the object's name: {"State"}, {"VRLANCAMENT"},
// {"VRLANCAMENT", "DisplayText"}.
Reading ReadDataSet(const TDataSet* ds, const std::vector<std::string>& path);
std::string DumpDataSet(const TDataSet* ds, int maxRows = 40);

// Any component: forms, controls, grids, data sets, data sources (read
// through their data set).
Reading ReadProperty(TComponent* c, const std::vector<std::string>& path);
std::string Dump(TComponent* c);

std::string BoolText(bool b);

}  // namespace drive
