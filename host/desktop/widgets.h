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

// The widget for a control (the most derived kind the desktop knows), child
// of `parent`. Never null: an unknown control gets a plain container.
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
