// One form of the model on the desktop: the widget tree of its controls,
// kept in step with the model by Sync (called after every user action). The
// model is the authority: controls that appear get widgets, controls that
// are gone lose theirs, and every widget shows its control's state.
#pragma once

#include "host/desktop/actor.h"
#include "platform/ui/forms.h"

#include <QWidget>
#include <unordered_map>

namespace desk {

class FormView : public QWidget {
public:
    // `input` filters the events of every control widget (keys, focus and
    // mouse presses that go to the model first).
    FormView(TForm* form, Actor& actor, QObject* input, QWidget* parent = nullptr);

    TForm* Form() const { return form_; }
    // The form is being destroyed: forget it and every control (the widgets
    // go with this view, later).
    void Detach();

    // Model -> widgets: creates missing widgets, drops stale ones, copies the
    // state and places every widget.
    void Sync();
    // Places the widgets by the model's alignment and bounds.
    void Relayout();

    QWidget* WidgetOf(const TControl* c) const;
    // The control a widget (or one of its inner widgets) stands for.
    TControl* ControlOf(const QWidget* w) const;

    // The window this view lives in (MDI sub-window or top-level window).
    QWidget* Outer() const { return outer_; }
    void SetOuter(QWidget* outer) { outer_ = outer; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    TForm* form_;
    Actor& actor_;
    QObject* input_;
    QWidget* outer_ = nullptr;
    std::unordered_map<const TControl*, QWidget*> widgets_;
    std::unordered_map<const QWidget*, TControl*> controls_;

    void buildChildren(TWinControl* parent, QWidget* parentWidget, std::unordered_map<const TControl*, bool>& seen);
    void syncTree(TWinControl* parent);
    void layoutChildren(TWinControl* parent, QWidget* parentWidget);
    void layoutPages(TWinControl* pc, QWidget* widget);
    void dropStale(const std::unordered_map<const TControl*, bool>& seen);
};

}  // namespace desk
