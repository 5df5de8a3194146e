// The Qt widget of each kind of headless control, and how it follows the
// control's state. Creation binds the widget's own signals (button clicks,
// combo choices, tab choices) to the control's user operations through the
// actor; keys, focus and mouse presses that need the model first are taken
// by the host's input filter.
#pragma once

#include "host/desktop/actor.h"
#include "host/desktop/align.h"
#include "platform/ui/controls.h"

#include <QFrame>
#include <QTabBar>
#include <QWidget>

namespace desk {

// A page control: its tab bar over a framed area where the sheets sit.
class PageWidget : public QWidget {
public:
    explicit PageWidget(QWidget* parent);
    QTabBar* Bar() const { return bar_; }
    QRect ContentRect() const;  // where the active sheet goes

protected:
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QTabBar* bar_;
};

// A panel: flat colour with the bevels of the model drawn as thin lines.
class PanelWidget : public QFrame {
public:
    PanelWidget(TControl* control, QWidget* parent) : QFrame(parent), control_(control) {}

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TControl* control_;
};

// A group box as the framework draws it: a thin frame whose top line runs
// through the middle of the caption.
class GroupWidget : public QWidget {
public:
    GroupWidget(TControl* control, QWidget* parent) : QWidget(parent), control_(control) {}

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TControl* control_;
};

// How the desktop treats a kind of control (TControl::WidgetKind).
struct WidgetTraits {
    bool oneLineField = false;    // Enter moves on like Tab (no default button in the form)
    bool textField = false;       // a TCustomEdit (Ctrl+A selects its whole text)
    bool lineEdit = false;        // a QLineEdit whose selection the model takes
    bool upDownChooses = false;   // Up and Down choose the previous or next item
    bool spaceKey = false;        // Space is the control's key (a button)
    bool spaceClicks = false;     // Space clicks it (radio and check buttons)
    bool ownDoubleClick = false;  // handles its double clicks itself (grids)
    bool lookupColumns = false;   // F2 opens the lookup of the selected column
    bool pages = false;           // a page control: its sheets go inside its content area
};

// One row of the table from kinds of control to widgets.
struct WidgetKind {
    const char* name;
    QWidget* (*create)(TControl* control, QWidget* parent, Actor& actor);
    void (*sync)(TControl* control, QWidget* widget);
    WidgetTraits traits;
};

// The row of the control's kind (a plain container for a kind not in the table).
const WidgetKind& KindOf(const TControl* control);

// The widget for a control, child of `parent`. Never null.
QWidget* CreateControlWidget(TControl* control, QWidget* parent, Actor& actor);

// Copies the control's state into its widget: visibility, enabled state,
// caption or text, colours, font, hint, check state, items, pages.
void SyncControlWidget(TControl* control, QWidget* widget);

// The box inside a container widget where aligned children go.
Box ClientBox(const TControl* container, const QWidget* widget);

// The size an unaligned control takes when the model gives none (a label
// sized to its caption).
QSize NaturalSize(const TControl* control, const QWidget* widget);

// Caption with the framework's accelerator marks taken out ("&Opções" ->
// "Opções", "&&" -> "&").
QString PlainCaption(const std::string& caption);
// Caption for Qt's buttons and menus, which use the same marks.
QString MnemonicCaption(const std::string& caption);

}  // namespace desk
