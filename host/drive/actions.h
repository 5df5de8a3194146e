// The user actions of the scenario language, each carried out through the ui
// dispatcher as a person's input would be. Every routine returns "" when the
// action was carried out (even if the screen's own handlers then refused it:
// their message and the focus show that) and the reason otherwise (an unknown
// name, a control of the wrong kind, a disabled or invisible control, a
// missing column, a row out of range), in Portuguese.
//
// An action that needs the focus at its control (typing, a key, a click on a
// focusable control, a grid action) first moves the focus there; when an exit
// handler keeps it elsewhere (a refused value and its error box), the action
// did not happen and that is its failure. `focus C` alone is the script's
// way of asking for the exit checks: its refusal is the screen's.
#pragma once

#include <string>

class TComponent;
class TDBGrid;

namespace drive {

std::string FocusControl(TComponent* c);
std::string TypeText(TComponent* c, const std::string& text);
std::string SetText(TComponent* c, const std::string& text);
std::string PressKey(TComponent* c, const std::string& key);
std::string ClickControl(TComponent* c);
std::string DblClickControl(TComponent* c);
std::string CloseForm(TComponent* c);

std::string GridSelectColumn(TDBGrid* g, const std::string& field);
std::string GridMoveToRow(TDBGrid* g, int row);  // 1-based
std::string GridTypeCell(TDBGrid* g, const std::string& field, const std::string& text);
std::string GridEditButton(TDBGrid* g);

}  // namespace drive
