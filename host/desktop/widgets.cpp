#include "host/desktop/widgets.h"

#include "contracts/buttons.h"
#include "contracts/dbctrls.h"
#include "host/desktop/canvas.h"
#include "host/desktop/gridview.h"
#include "host/desktop/palette.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace desk {
namespace {

// ---- custom widgets -----------------------------------------------------------

// The navigator's buttons, in the order the framework shows them.
class NavigatorWidget : public QWidget {
public:
    NavigatorWidget(TDBNavigator* nav, Actor& actor, QWidget* parent) : QWidget(parent), nav_(nav) {
        static const struct { TNavigateBtn b; const char* glyph; const char* hint; } kButtons[] = {
            {nbFirst, "|\u25C0", "Primeiro"}, {nbPrior, "\u25C0", "Anterior"},
            {nbNext, "\u25B6", "Próximo"},    {nbLast, "\u25B6|", "Último"},
            {nbInsert, "+", "Incluir"},      {nbDelete, "\u2212", "Excluir"},
            {nbEdit, "\u270E", "Alterar"},   {nbPost, "\u2713", "Gravar"},
            {nbCancel, "\u2715", "Cancelar"}, {nbRefresh, "\u21BB", "Atualizar"}};
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(1, 1, 1, 1);
        row->setSpacing(1);
        for (const auto& k : kButtons) {
            auto* b = new QToolButton(this);
            b->setText(QString::fromUtf8(k.glyph));
            b->setToolTip(QString::fromUtf8(k.hint));
            b->setAutoRaise(true);
            b->setFocusPolicy(Qt::NoFocus);
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            const TNavigateBtn which = k.b;
            QObject::connect(b, &QToolButton::clicked, b, [nav, &actor, which] {
                actor.Act([nav, which] { nav->BtnClick(which); });
            });
            row->addWidget(b);
            buttons_.push_back({which, b});
        }
    }
    void Sync() {
        for (auto& [which, b] : buttons_) b->setEnabled(nav_->ButtonEnabled(which));
    }

private:
    TDBNavigator* nav_;
    std::vector<std::pair<TNavigateBtn, QToolButton*>> buttons_;
};

// A picture control shows its picture (nothing when it has none).
class ImageWidget : public QLabel {
public:
    ImageWidget(TImage* image, QWidget* parent) : QLabel(parent) {
        if (!image->Picture.empty())
            setPixmap(QPixmap::fromImage(PictureOf(image, image->Transparent ? image->TransparentColor : clNone)));
    }
};

// A magnifier drawn for the lookup buttons, which carry no caption.
QIcon LookupIcon() {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x2F, 0x4F, 0x7F), 1.6));
    p.drawEllipse(QPointF(5.5, 5.5), 3.8, 3.8);
    p.drawLine(QPointF(8.4, 8.4), QPointF(12.5, 12.5));
    return QIcon(pm);
}

// ---- creation -------------------------------------------------------------------

QWidget* CreateButtonLike(TControl* c, QWidget* parent, Actor& actor) {
    if (auto* b = dynamic_cast<TButton*>(c)) {
        auto* w = new QPushButton(parent);
        w->setFocusPolicy(Qt::ClickFocus);
        QObject::connect(w, &QPushButton::clicked, w, [b, &actor] { actor.Act([b] { b->UserClick(); }); });
        return w;
    }
    auto* sb = dynamic_cast<TSpeedButton*>(c);
    auto* w = new QToolButton(parent);
    w->setFocusPolicy(Qt::NoFocus);  // a tool button never takes the focus
    // A flat button is drawn flat on a screen's command bar; in a dialog
    // (Confirmar, Cancelar) it keeps its frame, so it reads as a button.
    const TForm* form = c->ParentForm();
    const bool inDialog = form && form->FormStyle != fsMDIChild;
    w->setAutoRaise(sb && sb->Flat && !inDialog);
    w->setToolButtonStyle(Qt::ToolButtonTextOnly);
    if (dynamic_cast<TBtnPesquisa*>(c)) {
        w->setIcon(LookupIcon());
        w->setToolButtonStyle(Qt::ToolButtonIconOnly);
        w->setAutoRaise(false);
    }
    QObject::connect(w, &QToolButton::clicked, w, [c, &actor] { actor.Act([c] { c->UserClick(); }); });
    return w;
}

QWidget* CreateEditLike(TControl* c, QWidget* parent) {
    if (dynamic_cast<TMemo*>(c)) {
        auto* w = new QPlainTextEdit(parent);
        w->setFocusPolicy(Qt::ClickFocus);
        return w;
    }
    auto* w = new QLineEdit(parent);
    w->setFocusPolicy(Qt::ClickFocus);
    w->setContextMenuPolicy(Qt::NoContextMenu);  // edits go through the model only
    if (dynamic_cast<TNumberEdit*>(c)) w->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return w;
}

QWidget* CreateContainer(TControl* c, QWidget* parent) {
    if (dynamic_cast<TGroupBox*>(c)) return new GroupWidget(c, parent);
    if (dynamic_cast<TPanel*>(c)) return new PanelWidget(c, parent);
    auto* w = new QWidget(parent);
    w->setAutoFillBackground(dynamic_cast<TTabSheet*>(c) != nullptr || dynamic_cast<TScrollBox*>(c) != nullptr);
    return w;
}

// ---- state ---------------------------------------------------------------------

void SetBackground(QWidget* w, QPalette::ColorRole role, TColor color) {
    QColor c = ToQColor(color);
    if (!c.isValid()) return;
    QPalette pal = w->palette();
    if (pal.color(role) == c && w->testAttribute(Qt::WA_SetPalette)) return;
    pal.setColor(role, c);
    if (role == QPalette::Base) pal.setColor(QPalette::Disabled, QPalette::Base, ToQColor(clBtnFace));
    w->setPalette(pal);
}

void SetTextColor(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette pal = w->palette();
    if (pal.color(QPalette::Active, role) == c) return;
    pal.setColor(QPalette::Active, role, c);
    pal.setColor(QPalette::Inactive, role, c);
    w->setPalette(pal);
}

void SyncEdit(TCustomEdit* e, QLineEdit* w) {
    const QString text = QString::fromStdString(e->DisplayText());
    if (w->text() != text) w->setText(text);
    w->setReadOnly(e->ReadOnly);
    SetBackground(w, QPalette::Base, e->Color);
    QColor fg = ToQColor(e->Font.Color);
    if (auto* d = dynamic_cast<TDateEditPlus*>(e); d && d->Date() != 0) fg = ToQColor(d->ValidDateColor);
    SetTextColor(w, QPalette::Text, fg);
    if (e->Focused()) {
        // The model's selection, in characters, is the caret the user sees.
        const int n = static_cast<int>(w->text().size());
        const int start = std::clamp(e->SelStart(), 0, n);
        const int len = std::clamp(e->SelLength(), 0, n - start);
        if (len > 0) w->setSelection(start, len);
        else w->setCursorPosition(start);
    }
}

void SyncMemo(TMemo* m, QPlainTextEdit* w) {
    const QString text = QString::fromStdString(m->Text());
    if (w->toPlainText() != text) w->setPlainText(text);
    w->setReadOnly(m->ReadOnly);
    SetBackground(w, QPalette::Base, m->Color);
    QTextCursor cur = w->textCursor();
    const int n = static_cast<int>(text.size());
    cur.setPosition(std::clamp(m->SelStart(), 0, n));
    cur.setPosition(std::clamp(m->SelStart() + m->SelLength(), 0, n), QTextCursor::KeepAnchor);
    w->setTextCursor(cur);
}

void SyncCombo(TComboBox* c, QComboBox* w) {
    QStringList items;
    for (const std::string& s : c->Items) items << QString::fromStdString(s);
    QStringList now;
    for (int i = 0; i < w->count(); ++i) now << w->itemText(i);
    const QSignalBlocker block(w);
    if (now != items) {
        w->clear();
        w->addItems(items);
    }
    if (w->currentIndex() != c->ItemIndex()) w->setCurrentIndex(c->ItemIndex());
}

void SyncPages(TPageControl* pc, PageWidget* w) {
    QTabBar* bar = w->Bar();
    const QSignalBlocker block(bar);
    // One tab per page whose tab is shown, in page order.
    std::vector<TTabSheet*> tabs;
    for (int i = 0; i < pc->PageCount(); ++i)
        if (pc->Pages(i)->TabVisible) tabs.push_back(pc->Pages(i));
    while (bar->count() > static_cast<int>(tabs.size())) bar->removeTab(bar->count() - 1);
    while (bar->count() < static_cast<int>(tabs.size())) bar->addTab(QString());
    int current = -1;
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        const int k = static_cast<int>(i);
        bar->setTabText(k, PlainCaption(tabs[i]->Caption));
        bar->setTabEnabled(k, tabs[i]->Enabled);
        bar->setTabData(k, QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(tabs[i])));
        if (tabs[i] == pc->ActivePage()) current = k;
    }
    if (current >= 0 && bar->currentIndex() != current) bar->setCurrentIndex(current);
}

void SyncButtonText(TControl* c, QWidget* w) {
    if (auto* b = dynamic_cast<QAbstractButton*>(w)) {
        // A tool button whose picture the desktop does not have shows its
        // hint instead (the filter button of the command bar); the lookup
        // buttons have their magnifier.
        const bool textless = c->Caption.empty() && !dynamic_cast<TBtnPesquisa*>(c) && dynamic_cast<QToolButton*>(w);
        const QString text = MnemonicCaption(textless ? c->Hint : c->Caption);
        if (b->text() != text) b->setText(text);
    }
    if (auto* pb = dynamic_cast<QPushButton*>(w))
        if (auto* tb = dynamic_cast<TButton*>(c)) pb->setDefault(tb->Default);
}

void SyncChecks(TControl* c, QWidget* w) {
    if (auto* r = dynamic_cast<TRadioButton*>(c)) {
        auto* q = static_cast<QRadioButton*>(w);
        q->setAutoExclusive(false);  // the model unchecks the siblings
        q->setChecked(r->Checked());
    } else if (auto* k = dynamic_cast<TCheckBox*>(c)) {
        static_cast<QCheckBox*>(w)->setChecked(k->Checked());
    }
}

void SyncKind(TControl* c, QWidget* w) {
    if (auto* m = dynamic_cast<TMemo*>(c)) return SyncMemo(m, static_cast<QPlainTextEdit*>(w));
    if (auto* e = dynamic_cast<TCustomEdit*>(c)) return SyncEdit(e, static_cast<QLineEdit*>(w));
    if (auto* cb = dynamic_cast<TComboBox*>(c)) return SyncCombo(cb, static_cast<QComboBox*>(w));
    if (dynamic_cast<TDBGrid*>(c)) return static_cast<GridView*>(w)->Sync();
    if (auto* pc = dynamic_cast<TPageControl*>(c)) return SyncPages(pc, static_cast<PageWidget*>(w));
    if (dynamic_cast<TDBNavigator*>(c)) return static_cast<NavigatorWidget*>(w)->Sync();
    if (auto* t = dynamic_cast<TDBText*>(c)) {
        static_cast<QLabel*>(w)->setText(QString::fromStdString(t->Text()));
        return;
    }
    if (dynamic_cast<TLabel*>(c)) {
        static_cast<QLabel*>(w)->setText(PlainCaption(c->Caption));
        SetTextColor(w, QPalette::WindowText, ToQColor(c->Font.Color));
        return;
    }
    if (dynamic_cast<GroupWidget*>(w)) {
        w->update();
        return;
    }
    if (dynamic_cast<TRadioButton*>(c) || dynamic_cast<TCheckBox*>(c)) {
        SyncButtonText(c, w);
        SyncChecks(c, w);
        return;
    }
    SyncButtonText(c, w);
    if (dynamic_cast<TPanel*>(c) || dynamic_cast<TTabSheet*>(c) || dynamic_cast<TScrollBox*>(c))
        SetBackground(w, QPalette::Window, c->Color);
}

}  // namespace

// ---- public ---------------------------------------------------------------------

PageWidget::PageWidget(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    bar_->setFocusPolicy(Qt::NoFocus);
}

QRect PageWidget::ContentRect() const {
    const int top = bar_->sizeHint().height();
    return QRect(1, top + 1, std::max(0, width() - 2), std::max(0, height() - top - 2));
}

void PageWidget::resizeEvent(QResizeEvent* e) {
    bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
    QWidget::resizeEvent(e);
}

void PageWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = ContentRect().adjusted(-1, -1, 0, 0);
    p.setPen(QColor(0xB8, 0xBE, 0xC8));
    p.drawRect(r);
}

void GroupWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QFont font = ToQFont(control_->Font);
    const QFontMetrics fm(font);
    const int mid = fm.height() / 2;
    p.setPen(QColor(0xB8, 0xBE, 0xC8));
    p.drawRect(QRect(0, mid, width() - 1, height() - mid - 1));
    const QString title = PlainCaption(control_->Caption);
    if (title.isEmpty()) return;
    const QRect text(8, 0, fm.horizontalAdvance(title) + 6, fm.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setFont(font);
    p.setPen(isEnabled() ? ToQColor(control_->Font.Color) : ToQColor(clGrayText));
    p.drawText(text, Qt::AlignCenter, title);
}

void PanelWidget::paintEvent(QPaintEvent*) {
    auto* panel = dynamic_cast<TPanel*>(control_);
    QPainter p(this);
    p.fillRect(rect(), ToQColor(control_->Color));
    if (panel && (panel->BevelOuter == bvRaised || panel->BevelOuter == bvLowered)) {
        const bool raised = panel->BevelOuter == bvRaised;
        QColor light(0xFF, 0xFF, 0xFF), dark(0xC4, 0xC9, 0xD1);
        p.setPen(raised ? light : dark);
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, 0, 0, height() - 1);
        p.setPen(raised ? dark : light);
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        p.drawLine(width() - 1, 0, width() - 1, height() - 1);
    }
    if (!control_->Caption.empty()) {
        p.setFont(ToQFont(control_->Font));
        p.setPen(ToQColor(control_->Font.Color));
        p.drawText(rect(), Qt::AlignCenter, PlainCaption(control_->Caption));
    }
}

QWidget* CreateControlWidget(TControl* c, QWidget* parent, Actor& actor) {
    QWidget* w = nullptr;
    if (auto* g = dynamic_cast<TDBGrid*>(c)) w = new GridView(g, actor, parent);
    else if (auto* n = dynamic_cast<TDBNavigator*>(c)) w = new NavigatorWidget(n, actor, parent);
    else if (dynamic_cast<TCustomEdit*>(c)) w = CreateEditLike(c, parent);
    else if (auto* pc = dynamic_cast<TPageControl*>(c)) {
        auto* pw = new PageWidget(parent);
        // The user's choice of a tab goes to the model, which may refuse it;
        // the next sync shows the page the model settled on.
        QObject::connect(pw->Bar(), &QTabBar::currentChanged, pw, [pc, pw, &actor](int i) {
            auto* sheet = reinterpret_cast<TTabSheet*>(pw->Bar()->tabData(i).value<quintptr>());
            actor.Act([pc, sheet] {
                if (sheet && sheet != pc->ActivePage()) pc->UserSelectPage(sheet);
            });
        });
        w = pw;
    } else if (auto* cb = dynamic_cast<TComboBox*>(c)) {
        auto* q = new QComboBox(parent);
        q->setFocusPolicy(Qt::ClickFocus);
        QObject::connect(q, &QComboBox::activated, q, [cb, &actor](int i) {
            actor.Act([cb, i] { cb->UserSelect(i); });
        });
        w = q;
    } else if (dynamic_cast<TButton*>(c) || dynamic_cast<TSpeedButton*>(c)) w = CreateButtonLike(c, parent, actor);
    else if (dynamic_cast<TRadioButton*>(c)) w = new QRadioButton(parent);
    else if (dynamic_cast<TCheckBox*>(c)) w = new QCheckBox(parent);
    else if (auto* img = dynamic_cast<TImage*>(c)) w = new ImageWidget(img, parent);
    else if (dynamic_cast<TLabel*>(c)) w = new QLabel(parent);
    else if (dynamic_cast<TSplitter*>(c) || dynamic_cast<TBevel*>(c)) {
        auto* f = new QFrame(parent);
        f->setFrameShape(QFrame::NoFrame);
        w = f;
    } else w = CreateContainer(c, parent);
    if (dynamic_cast<TRadioButton*>(c) || dynamic_cast<TCheckBox*>(c)) w->setFocusPolicy(Qt::ClickFocus);
    if (!dynamic_cast<TWinControl*>(c) && !dynamic_cast<QAbstractButton*>(w)) w->setFocusPolicy(Qt::NoFocus);
    w->setObjectName(QString::fromStdString(c->Name));
    return w;
}

void SyncControlWidget(TControl* c, QWidget* w) {
    w->setEnabled(c->Enabled);
    const QFont f = ToQFont(c->Font);
    if (w->font() != f) w->setFont(f);
    const QString tip = c->ShowHint ? QString::fromStdString(c->Hint) : QString();
    if (w->toolTip() != tip) w->setToolTip(tip);
    SyncKind(c, w);
}

Box ClientBox(const TControl* c, const QWidget* w) {
    if (dynamic_cast<const TGroupBox*>(c)) return {2, 16, w->width() - 4, w->height() - 18};
    if (auto* p = dynamic_cast<const TPanel*>(c)) {
        int inset = p->BorderWidth + (p->BevelOuter != bvNone ? 1 : 0) + (p->BevelInner != bvNone ? 1 : 0);
        return {inset, inset, w->width() - 2 * inset, w->height() - 2 * inset};
    }
    return {0, 0, w->width(), w->height()};
}

QSize NaturalSize(const TControl* c, const QWidget* w) {
    QSize s(c->Width, c->Height);
    auto* label = dynamic_cast<const TLabel*>(c);
    if ((label && label->AutoSize) || s.width() <= 0) s.setWidth(w->sizeHint().width());
    if ((label && label->AutoSize) || s.height() <= 0) s.setHeight(w->sizeHint().height());
    return s;
}

QString PlainCaption(const std::string& caption) {
    QString in = QString::fromStdString(caption), out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '&') {
            if (i + 1 < in.size() && in[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += in[i];
    }
    return out;
}

QString MnemonicCaption(const std::string& caption) { return QString::fromStdString(caption); }

}  // namespace desk
