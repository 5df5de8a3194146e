#include "host/desktop/input.h"

#include "contracts/buttons.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/grid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace desk {
namespace {

bool IsOneLineField(const TWinControl* c) {
    if (dynamic_cast<const TMemo*>(c)) return false;
    return dynamic_cast<const TCustomEdit*>(c) || dynamic_cast<const TComboBox*>(c) ||
           dynamic_cast<const TRadioButton*>(c) || dynamic_cast<const TCheckBox*>(c);
}

bool HasDefaultButton(const TForm* f) {
    if (!f) return false;
    for (int i = 0; i < f->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(f->Components(i)); b && b->Default && b->CanFocus()) return true;
    return false;
}

// The selection the user made with the mouse becomes the model's.
void TakeSelection(QWidget* w, TWinControl* c) {
    auto* e = dynamic_cast<TCustomEdit*>(c);
    auto* le = dynamic_cast<QLineEdit*>(w);
    // Without the focus the widget's selection is only what the host last
    // showed, which the model already holds.
    if (!e || !le || dynamic_cast<TMemo*>(c) || !le->hasFocus()) return;
    if (le->hasSelectedText()) e->SetSel(static_cast<int>(le->selectionStart()), static_cast<int>(le->selectedText().size()));
    else e->SetSel(le->cursorPosition(), 0);
}

}  // namespace

bool OpenLookup(TWinControl* c) {
    if (auto* g = dynamic_cast<TDBGrid*>(c)) {
        const int col = g->SelectedIndex();
        if (col < 0 || g->Columns->Items(col)->ButtonStyle != cbsEllipsis) return false;
        g->UserEditButton();
        return true;
    }
    TForm* f = c->ParentForm();
    if (!f) return false;
    for (int i = 0; i < f->ComponentCount(); ++i) {
        auto* b = dynamic_cast<TBtnPesquisa*>(f->Components(i));
        if (b && b->Associate == c && b->Showing() && b->EnabledChain()) {
            b->UserClick();
            return true;
        }
    }
    return false;
}

void RouteKey(TWinControl* c, const KeyAction& k) {
    if (k.kind == KeyAction::Char) {
        // Space presses a button as the key does, not as a typed character.
        if (k.text == " " && (dynamic_cast<TButton*>(c) || dynamic_cast<TRadioButton*>(c) ||
                              dynamic_cast<TCheckBox*>(c))) {
            if (dynamic_cast<TButton*>(c)) c->UserKey(VK_SPACE);
            else c->UserClick();
            return;
        }
        c->UserChar(k.text);
        return;
    }
    if (k.kind != KeyAction::Key) return;
    if (auto* cb = dynamic_cast<TComboBox*>(c); cb && (k.vk == VK_UP || k.vk == VK_DOWN)) {
        const int next = cb->ItemIndex() + (k.vk == VK_DOWN ? 1 : -1);
        if (next >= 0 && next < static_cast<int>(cb->Items.size())) cb->UserSelect(next);
        return;
    }
    if (k.vk == VK_F2 && OpenLookup(c)) return;
    if (k.vk == VK_RETURN && IsOneLineField(c) && !HasDefaultButton(c->ParentForm())) {
        c->UserKey(VK_TAB, k.shift);
        return;
    }
    c->UserKey(k.vk, k.shift);
}

InputFilter::InputFilter(Actor& actor, Resolver resolve, QObject* parent)
    : QObject(parent), actor_(actor), resolve_(std::move(resolve)) {}

bool InputFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    // The commands' key combinations (Ctrl+S, ...) belong to the menu: an edit
    // widget does not claim them for its own editing shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* ke = static_cast<QKeyEvent*>(event);
        const bool command = ke->modifiers().testFlag(Qt::ControlModifier) && !ke->matches(QKeySequence::Copy) &&
                             !ke->matches(QKeySequence::Paste) && !ke->matches(QKeySequence::SelectAll);
        if (!command) return false;
        event->ignore();
        return true;
    }
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::FocusIn:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        break;
    default:
        return false;
    }
    TControl* c = resolve_(w);
    if (!c) return false;
    auto* wc = dynamic_cast<TWinControl*>(c);
    switch (event->type()) {
    case QEvent::KeyPress: return wc && onKey(w, wc, event);
    case QEvent::FocusIn: return wc && onFocusIn(wc, event);
    default: return onMouse(w, c, event);
    }
}

bool InputFilter::onKey(QWidget* w, TWinControl* c, QEvent* event) {
    auto* ke = static_cast<QKeyEvent*>(event);
    if (ke->matches(QKeySequence::Copy)) return false;  // copying changes nothing
    if (ke->matches(QKeySequence::SelectAll)) {
        if (auto* e = dynamic_cast<TCustomEdit*>(c)) actor_.Act([e] { e->SelectAll(); });
        return true;
    }
    if (ke->matches(QKeySequence::Paste)) {
        const std::string text = QApplication::clipboard()->text().toStdString();
        actor_.Act([w, c, text] {
            TakeSelection(w, c);
            c->UserTypeKeys(text);
        });
        return true;
    }
    const KeyAction k = TranslateKey(ke->key(), ke->modifiers(), ke->text());
    if (k.kind == KeyAction::None) return true;  // nothing for the model; the widget does not edit itself
    actor_.Act([w, c, k] {
        TakeSelection(w, c);
        RouteKey(c, k);
    });
    return true;
}

bool InputFilter::onFocusIn(TWinControl* c, QEvent* event) {
    if (SettingFocus) return false;
    auto* fe = static_cast<QFocusEvent*>(event);
    // Only a click is the user's move; window activation and the host's own
    // focus changes are not.
    if (fe->reason() != Qt::MouseFocusReason || c->Focused()) return false;
    actor_.Act([c] { c->SetFocus(); });
    return false;
}

bool InputFilter::onMouse(QWidget* w, TControl* c, QEvent* event) {
    // A double click reaches the control's own event (grids handle theirs).
    if (event->type() == QEvent::MouseButtonDblClick && c->OnDblClick && !dynamic_cast<TDBGrid*>(c)) {
        actor_.Act([c] { c->UserDblClick(); });
        return false;
    }
    // Check and radio buttons change only through the model's click.
    if (!qobject_cast<QCheckBox*>(w) && !qobject_cast<QRadioButton*>(w)) return false;
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        actor_.Act([c] { c->UserClick(); });
    return true;
}

}  // namespace desk
