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
        static const struct {
            TNavigateBtn b;
            const char* glyph;
            const char* hint;
        } kButtons[] = {{nbFirst, "|\u25C0", "Primeiro"}, {nbPrior, "\u25C0", "Anterior"},
                        {nbNext, "\u25B6", "Próximo"},    {nbLast, "\u25B6|", "Último"},
                        {nbInsert, "+", "Incluir"},       {nbDelete, "\u2212", "Excluir"},
                        {nbEdit, "\u270E", "Alterar"},    {nbPost, "\u2713", "Gravar"},
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
            QObject::connect(b, &QToolButton::clicked, b,
                             [nav, &actor, which] { actor.Act([nav, which] { nav->BtnClick(which); }); });
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

QWidget* CreatePushButton(TControl* c, QWidget* parent, Actor& actor) {
    auto* b = static_cast<TButton*>(c);
    auto* w = new QPushButton(parent);
    w->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(w, &QPushButton::clicked, w, [b, &actor] { actor.Act([b] { b->UserClick(); }); });
    return w;
}

QToolButton* CreateToolButton(TControl* c, QWidget* parent, Actor& actor) {
    auto* w = new QToolButton(parent);
    w->setFocusPolicy(Qt::NoFocus);  // a tool button never takes the focus
    w->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QObject::connect(w, &QToolButton::clicked, w, [c, &actor] { actor.Act([c] { c->UserClick(); }); });
    return w;
}

QWidget* CreateSpeedButton(TControl* c, QWidget* parent, Actor& actor) {
    QToolButton* w = CreateToolButton(c, parent, actor);
    // A flat button is drawn flat on a screen's command bar; in a dialog
    // (Confirmar, Cancelar) it keeps its frame, so it reads as a button.
    const TForm* form = c->ParentForm();
    const bool inDialog = form && form->FormStyle != fsMDIChild;
    w->setAutoRaise(static_cast<TSpeedButton*>(c)->Flat && !inDialog);
    return w;
}

QWidget* CreateLookupButton(TControl* c, QWidget* parent, Actor& actor) {
    QToolButton* w = CreateToolButton(c, parent, actor);
    w->setIcon(LookupIcon());
    w->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return w;
}

QWidget* CreateLineEdit(TControl*, QWidget* parent, Actor&) {
    auto* w = new QLineEdit(parent);
    w->setFocusPolicy(Qt::ClickFocus);
    w->setContextMenuPolicy(Qt::NoContextMenu);  // edits go through the model only
    return w;
}

QWidget* CreateNumberEdit(TControl* c, QWidget* parent, Actor& actor) {
    QWidget* w = CreateLineEdit(c, parent, actor);
    static_cast<QLineEdit*>(w)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return w;
}

QWidget* CreateMemo(TControl*, QWidget* parent, Actor&) {
    auto* w = new QPlainTextEdit(parent);
    w->setFocusPolicy(Qt::ClickFocus);
    return w;
}

QWidget* CreatePages(TControl* c, QWidget* parent, Actor& actor) {
    auto* pc = static_cast<TPageControl*>(c);
    auto* pw = new PageWidget(parent);
    // The user's choice of a tab goes to the model, which may refuse it;
    // the next sync shows the page the model settled on.
    QObject::connect(pw->Bar(), &QTabBar::currentChanged, pw, [pc, pw, &actor](int i) {
        auto* sheet = reinterpret_cast<TTabSheet*>(pw->Bar()->tabData(i).value<quintptr>());
        actor.Act([pc, sheet] {
            if (sheet && sheet != pc->ActivePage()) pc->UserSelectPage(sheet);
        });
    });
    return pw;
}

QWidget* CreateCombo(TControl* c, QWidget* parent, Actor& actor) {
    auto* cb = static_cast<TComboBox*>(c);
    auto* q = new QComboBox(parent);
    q->setFocusPolicy(Qt::ClickFocus);
    QObject::connect(q, &QComboBox::activated, q, [cb, &actor](int i) { actor.Act([cb, i] { cb->UserSelect(i); }); });
    return q;
}

QWidget* CreateSeparator(TControl*, QWidget* parent, Actor&) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::NoFrame);
    return f;
}

QWidget* CreatePlainContainer(TControl*, QWidget* parent, Actor&) { return new QWidget(parent); }

QWidget* CreateFilledContainer(TControl*, QWidget* parent, Actor&) {
    auto* w = new QWidget(parent);
    w->setAutoFillBackground(true);
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
    SetTextColor(w, QPalette::Text, ToQColor(e->TextColor()));
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
    auto* b = static_cast<QAbstractButton*>(w);
    const QString text = MnemonicCaption(c->Caption);
    if (b->text() != text) b->setText(text);
}

void SyncPushButton(TControl* c, QWidget* w) {
    SyncButtonText(c, w);
    static_cast<QPushButton*>(w)->setDefault(static_cast<TButton*>(c)->Default);
}

// A tool button whose picture the desktop does not have shows its hint
// instead (the filter button of the command bar).
void SyncSpeedButton(TControl* c, QWidget* w) {
    auto* b = static_cast<QAbstractButton*>(w);
    const QString text = MnemonicCaption(c->Caption.empty() ? c->Hint : c->Caption);
    if (b->text() != text) b->setText(text);
}

void SyncRadio(TControl* c, QWidget* w) {
    SyncButtonText(c, w);
    auto* q = static_cast<QRadioButton*>(w);
    q->setAutoExclusive(false);  // the model unchecks the siblings
    q->setChecked(static_cast<TRadioButton*>(c)->Checked());
}

void SyncCheck(TControl* c, QWidget* w) {
    SyncButtonText(c, w);
    static_cast<QCheckBox*>(w)->setChecked(static_cast<TCheckBox*>(c)->Checked());
}

void SyncLabel(TControl* c, QWidget* w) {
    static_cast<QLabel*>(w)->setText(PlainCaption(c->Caption));
    SetTextColor(w, QPalette::WindowText, ToQColor(c->Font.Color));
}

void SyncDBText(TControl* c, QWidget* w) {
    static_cast<QLabel*>(w)->setText(QString::fromStdString(static_cast<TDBText*>(c)->Text()));
}

void SyncFilled(TControl* c, QWidget* w) { SetBackground(w, QPalette::Window, c->Color); }
void SyncRepaint(TControl*, QWidget* w) { w->update(); }
void SyncNothing(TControl*, QWidget*) {}

// The widget of each kind of control, how it follows the control, and how
// keys reach it. A kind the table does not know is drawn as a container.
const WidgetKind kKinds[] = {
    {"control", CreatePlainContainer, SyncNothing, {}},
    {"container", CreatePlainContainer, SyncNothing, {}},
    {"form", CreatePlainContainer, SyncNothing, {}},
    {"label", [](TControl*, QWidget* p, Actor&) -> QWidget* { return new QLabel(p); }, SyncLabel, {}},
    {"dbtext", [](TControl*, QWidget* p, Actor&) -> QWidget* { return new QLabel(p); }, SyncDBText, {}},
    {"image",
     [](TControl* c, QWidget* p, Actor&) -> QWidget* { return new ImageWidget(static_cast<TImage*>(c), p); },
     SyncNothing,
     {}},
    {"edit",
     CreateLineEdit,
     [](TControl* c, QWidget* w) { SyncEdit(static_cast<TCustomEdit*>(c), static_cast<QLineEdit*>(w)); },
     {.oneLineField = true, .textField = true, .lineEdit = true}},
    {"number",
     CreateNumberEdit,
     [](TControl* c, QWidget* w) { SyncEdit(static_cast<TCustomEdit*>(c), static_cast<QLineEdit*>(w)); },
     {.oneLineField = true, .textField = true, .lineEdit = true}},
    {"memo",
     CreateMemo,
     [](TControl* c, QWidget* w) { SyncMemo(static_cast<TMemo*>(c), static_cast<QPlainTextEdit*>(w)); },
     {.textField = true}},
    {"combo",
     CreateCombo,
     [](TControl* c, QWidget* w) { SyncCombo(static_cast<TComboBox*>(c), static_cast<QComboBox*>(w)); },
     {.oneLineField = true, .upDownChooses = true}},
    {"button", CreatePushButton, SyncPushButton, {.spaceKey = true}},
    {"speedbutton", CreateSpeedButton, SyncSpeedButton, {}},
    {"lookupbutton", CreateLookupButton, SyncNothing, {}},
    {"radio",
     [](TControl*, QWidget* p, Actor&) -> QWidget* { return new QRadioButton(p); },
     SyncRadio,
     {.oneLineField = true, .spaceClicks = true}},
    {"check",
     [](TControl*, QWidget* p, Actor&) -> QWidget* { return new QCheckBox(p); },
     SyncCheck,
     {.oneLineField = true, .spaceClicks = true}},
    {"grid",
     [](TControl* c, QWidget* p, Actor& a) -> QWidget* { return new GridView(static_cast<TDBGrid*>(c), a, p); },
     [](TControl*, QWidget* w) { static_cast<GridView*>(w)->Sync(); },
     {.ownDoubleClick = true, .lookupColumns = true}},
    {"navigator",
     [](TControl* c, QWidget* p, Actor& a) -> QWidget* {
         return new NavigatorWidget(static_cast<TDBNavigator*>(c), a, p);
     },
     [](TControl*, QWidget* w) { static_cast<NavigatorWidget*>(w)->Sync(); },
     {}},
    {"pages",
     CreatePages,
     [](TControl* c, QWidget* w) { SyncPages(static_cast<TPageControl*>(c), static_cast<PageWidget*>(w)); },
     {.pages = true}},
    {"page", CreateFilledContainer, SyncFilled, {}},
    {"scrollbox", CreateFilledContainer, SyncFilled, {}},
    {"panel", [](TControl* c, QWidget* p, Actor&) -> QWidget* { return new PanelWidget(c, p); }, SyncFilled, {}},
    {"group", [](TControl* c, QWidget* p, Actor&) -> QWidget* { return new GroupWidget(c, p); }, SyncRepaint, {}},
    {"separator", CreateSeparator, SyncNothing, {}},
};

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
    auto* panel = static_cast<TPanel*>(control_);
    QPainter p(this);
    p.fillRect(rect(), ToQColor(control_->Color));
    if ((panel->BevelOuter == bvRaised || panel->BevelOuter == bvLowered)) {
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

const WidgetKind& KindOf(const TControl* c) {
    const std::string_view kind = c->WidgetKind();
    for (const WidgetKind& k : kKinds)
        if (kind == k.name) return k;
    return kKinds[1];  // a container
}

QWidget* CreateControlWidget(TControl* c, QWidget* parent, Actor& actor) {
    QWidget* w = KindOf(c).create(c, parent, actor);
    if (KindOf(c).traits.spaceClicks) w->setFocusPolicy(Qt::ClickFocus);
    if (!c->IsWindowed() && !qobject_cast<QAbstractButton*>(w)) w->setFocusPolicy(Qt::NoFocus);
    w->setObjectName(QString::fromStdString(c->Name));
    return w;
}

void SyncControlWidget(TControl* c, QWidget* w) {
    w->setEnabled(c->Enabled);
    const QFont f = ToQFont(c->Font);
    if (w->font() != f) w->setFont(f);
    const QString tip = c->ShowHint ? QString::fromStdString(c->Hint) : QString();
    if (w->toolTip() != tip) w->setToolTip(tip);
    KindOf(c).sync(c, w);
}

Box ClientBox(const TControl* c, const QWidget* w) {
    const std::string_view kind = c->WidgetKind();
    if (kind == "group") return {2, 16, w->width() - 4, w->height() - 18};
    if (kind == "panel") {
        auto* p = static_cast<const TPanel*>(c);
        int inset = p->BorderWidth + (p->BevelOuter != bvNone ? 1 : 0) + (p->BevelInner != bvNone ? 1 : 0);
        return {inset, inset, w->width() - 2 * inset, w->height() - 2 * inset};
    }
    return {0, 0, w->width(), w->height()};
}

QSize NaturalSize(const TControl* c, const QWidget* w) {
    QSize s(c->Width, c->Height);
    const bool autoSize = std::string_view(c->WidgetKind()) == "label" && static_cast<const TLabel*>(c)->AutoSize;
    if (autoSize || s.width() <= 0) s.setWidth(w->sizeHint().width());
    if (autoSize || s.height() <= 0) s.setHeight(w->sizeHint().height());
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
