// Driving the desktop's real widgets as a person would (mouse clicks and key
// presses delivered as Qt events), for the screenshot tour and the tests.
#pragma once

#include "host/desktop/host.h"

#include <QString>
#include <string>

class QWidget;

namespace desk {

// A component of the open forms by name: the active modal form first, then
// the others (as the scenario driver looks names up).
TComponent* FindComponent(const std::string& name);
// The widget of a named control; nullptr when it has none.
QWidget* WidgetNamed(DesktopHost& host, const std::string& name);
// A visible top-level dialog by object name ("dlgPesquisa", ...).
QWidget* DialogNamed(const QString& objectName);

// A left click in the middle of the widget (press, release).
void Click(QWidget* w);
// A double click in the middle of the widget, or at `pos` of it.
void DoubleClick(QWidget* w, QPoint pos = QPoint(-1, -1));
// Key presses: each character of the text, or one key with modifiers.
void TypeText(QWidget* w, const QString& text);
void PressKey(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier);

// Renders the widget (a window with everything in it) to a PNG file; a
// dialog is drawn with a title bar carrying its caption.
bool SavePng(QWidget* w, const QString& path);

}  // namespace desk
