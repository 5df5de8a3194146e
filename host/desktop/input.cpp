#include "host/desktop/input.h"

#include "host/desktop/widgets.h"

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

bool HasDefaultButton(const TForm* f) {
    if (!f) return false;
    for (int i = 0; i < f->ComponentCount(); ++i)
        if (auto* b = dynamic_cast<TButton*>(f->Components(i)); b && b->Default && b->CanFocus()) return true;
    return false;
}

// The selection the user made with the mouse becomes the model's.
void TakeSelection(QWidget* w, TWinControl* c) {
    if (!KindOf(c).traits.lineEdit) return;
    auto* e = static_cast<TCustomEdit*>(c);
    auto* le = qobject_cast<QLineEdit*>(w);
    // Without the focus the widget's selection is only what the host last
    // showed, which the model already holds.
    if (!le || !le->hasFocus()) return;
    if (le->hasSelectedText())
        e->SetSel(static_cast<int>(le->selectionStart()), static_cast<int>(le->selectedText().size()));
    else e->SetSel(le->cursorPosition(), 0);
}

}  // namespace

bool OpenLookup(TWinControl* c) {
    if (KindOf(c).traits.lookupColumns) {
        auto* g = static_cast<TDBGrid*>(c);
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
        const WidgetTraits& kind = KindOf(c).traits;
        if (k.text == " " && (kind.spaceKey || kind.spaceClicks)) {
            if (kind.spaceKey) c->UserKey(VK_SPACE);
            else c->UserClick();
            return;
        }
        c->UserChar(k.text);
        return;
    }
    if (k.kind != KeyAction::Key) return;
    if (KindOf(c).traits.upDownChooses && (k.vk == VK_UP || k.vk == VK_DOWN)) {
        auto* cb = static_cast<TComboBox*>(c);
        const int next = cb->ItemIndex() + (k.vk == VK_DOWN ? 1 : -1);
        if (next >= 0 && next < static_cast<int>(cb->Items.size())) cb->UserSelect(next);
        return;
    }
    if (k.vk == VK_F2 && OpenLookup(c)) return;
    if (k.vk == VK_RETURN && KindOf(c).traits.oneLineField && !HasDefaultButton(c->ParentForm())) {
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
    case QEvent::MouseButtonRelease: break;
    default: return false;
    }
    TControl* c = resolve_(w);
    if (!c) return false;
    TWinControl* wc = c->AsWinControl();
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
        if (KindOf(c).traits.textField) actor_.Act([c] { static_cast<TCustomEdit*>(c)->SelectAll(); });
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
    if (event->type() == QEvent::MouseButtonDblClick && c->OnDblClick && !KindOf(c).traits.ownDoubleClick) {
        actor_.Act([c] { c->UserDblClick(); });
        return false;
    }
    // Check and radio buttons change only through the model's click.
    if (!qobject_cast<QCheckBox*>(w) && !qobject_cast<QRadioButton*>(w)) return false;
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        actor_.Act([c] { c->UserClick(); });
    return true;
}

}  // namespace desk
