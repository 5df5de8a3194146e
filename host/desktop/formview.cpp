#include "host/desktop/formview.h"

#include "host/desktop/align.h"
#include "host/desktop/palette.h"
#include "host/desktop/widgets.h"

#include <QEvent>

namespace desk {

FormView::FormView(TForm* form, Actor& actor, QObject* input, QWidget* parent)
    : QWidget(parent), form_(form), actor_(actor), input_(input) {
    setObjectName(QString::fromStdString(form->Name));
    setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
    resize(std::max(form->Width, 200), std::max(form->Height, 120));
}

void FormView::Detach() {
    form_ = nullptr;
    widgets_.clear();
    controls_.clear();
}

QWidget* FormView::WidgetOf(const TControl* c) const {
    auto it = widgets_.find(c);
    return it == widgets_.end() ? nullptr : it->second;
}

TControl* FormView::ControlOf(const QWidget* w) const {
    for (const QWidget* x = w; x && x != this; x = x->parentWidget()) {
        auto it = controls_.find(x);
        if (it != controls_.end()) return it->second;
    }
    return nullptr;
}

void FormView::buildChildren(TWinControl* parent, QWidget* parentWidget,
                             std::unordered_map<const TControl*, bool>& seen) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        seen[c] = true;
        QWidget* w = WidgetOf(c);
        if (!w) {
            w = CreateControlWidget(c, parentWidget, actor_);
            widgets_[c] = w;
            controls_[w] = c;
            if (input_) w->installEventFilter(input_);
        }
        if (TWinControl* wc = c->AsWinControl()) buildChildren(wc, w, seen);
    }
}

void FormView::dropStale(const std::unordered_map<const TControl*, bool>& seen) {
    for (auto it = widgets_.begin(); it != widgets_.end();) {
        if (seen.count(it->first)) {
            ++it;
            continue;
        }
        QWidget* w = it->second;
        controls_.erase(w);
        w->hide();
        w->deleteLater();
        it = widgets_.erase(it);
    }
}

void FormView::syncTree(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        QWidget* w = WidgetOf(c);
        if (!w) continue;
        SyncControlWidget(c, w);
        if (TWinControl* wc = c->AsWinControl()) syncTree(wc);
    }
}

void FormView::Sync() {
    if (!form_) return;
    std::unordered_map<const TControl*, bool> seen;
    buildChildren(form_, this, seen);
    dropStale(seen);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(form_->Color));
    setPalette(pal);
    syncTree(form_);
    Relayout();
}

void FormView::Relayout() {
    if (form_) layoutChildren(form_, this);
}

void FormView::layoutPages(TWinControl* pcControl, QWidget* widget) {
    // Only called for the "pages" kind, whose widget is a PageWidget.
    auto* pc = static_cast<TPageControl*>(pcControl);
    auto* pw = static_cast<PageWidget*>(widget);
    const QRect area = pw->ContentRect();
    for (int i = 0; i < pc->PageCount(); ++i) {
        TTabSheet* sheet = pc->Pages(i);
        QWidget* sw = WidgetOf(sheet);
        if (!sw) continue;
        const bool shown = sheet == pc->ActivePage() && sheet->Visible && sheet->TabVisible;
        if (shown) {
            sw->setGeometry(area);
            layoutChildren(sheet, sw);
        }
        sw->setVisible(shown);
    }
}

void FormView::layoutChildren(TWinControl* parent, QWidget* parentWidget) {
    if (KindOf(parent).traits.pages) return layoutPages(parent, parentWidget);
    std::vector<AlignItem> items;
    std::vector<std::pair<TControl*, QWidget*>> placed;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        QWidget* w = WidgetOf(c);
        if (!w) continue;
        const QSize natural = NaturalSize(c, w);
        items.push_back({c->Align, {c->Left, c->Top, natural.width(), natural.height()}, c->Visible});
        placed.emplace_back(c, w);
    }
    const std::vector<Box> boxes = AlignChildren(ClientBox(parent, parentWidget), items);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        auto [c, w] = placed[i];
        const Box& b = boxes[i];
        if (w->geometry() != QRect(b.x, b.y, b.w, b.h)) w->setGeometry(b.x, b.y, b.w, b.h);
        if (w->isVisibleTo(parentWidget) != c->Visible) w->setVisible(c->Visible);
        if (TWinControl* wc = c->AsWinControl(); wc && c->Visible) layoutChildren(wc, w);
    }
}

void FormView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Relayout();
}

}  // namespace desk
