// The focus engine of a form: enter/exit chains and the tab order.
//
// entered_ is the deepest control whose OnEnter ran and whose OnExit has not
// (nullptr: the form level). A move exits from entered_ up to the first
// container that holds the target, then enters down to the target. Each step
// advances entered_ before its handler runs, so a handler that moves the focus
// itself starts from the right place; the running move then stops. When an
// exit handler throws and nothing moved the focus, the focus stays on the
// control that had it, and its OnExit runs again on the next move (so its
// checks cannot be skipped).
#include "platform/ui/forms.h"

#include <algorithm>

namespace {
TWinControl* parentInForm(TWinControl* c, TForm* form) {
    TWinControl* p = c->Parent();
    return p == form ? nullptr : p;
}

bool holds(TWinControl* container, TWinControl* target) {
    return container == nullptr || container->ContainsControl(target);
}

// Controls in tab order: siblings by TabOrder (creation order on ties),
// depth first.
void tabOrder(const TWinControl* parent, std::vector<TWinControl*>& out) {
    std::vector<TWinControl*> kids;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i))) kids.push_back(w);
    std::stable_sort(kids.begin(), kids.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder < b->TabOrder; });
    for (TWinControl* k : kids) {
        out.push_back(k);
        tabOrder(k, out);
    }
}
}  // namespace

bool TForm::FocusControl(TWinControl* target) {
    if (!target || target->ParentForm() != this || !target->CanFocus()) return false;
    if (target == active_ && entered_ == target) return true;
    const int token = ++focusCount_;

    try {
        while (!holds(entered_, target)) {
            TWinControl* leaving = entered_;
            entered_ = parentInForm(leaving, this);
            leaving->DoExit();
            if (focusCount_ != token) return target->Focused();
        }
    } catch (...) {
        // Refused: unless a handler moved it, the focus stays where it was.
        if (focusCount_ == token) entered_ = active_;
        throw;
    }

    try {
        while (entered_ != target) {
            TWinControl* next = target;
            while (parentInForm(next, this) != entered_) next = parentInForm(next, this);
            entered_ = next;
            next->DoEnter();
            if (focusCount_ != token) return target->Focused();
        }
    } catch (...) {
        // The focus rests as far as the enter handlers let it come.
        if (focusCount_ == token) active_ = entered_;
        throw;
    }
    active_ = target;
    return true;
}

TWinControl* TForm::FindNextControl(TWinControl* from, bool forward) const {
    std::vector<TWinControl*> order;
    tabOrder(this, order);
    std::vector<TWinControl*> stops;
    for (TWinControl* c : order)
        if (c->TabStop && c->CanFocus()) stops.push_back(c);
    if (stops.empty()) return nullptr;
    // Position of `from` in the whole order, so a control that is not a stop
    // (a panel) still has a place to continue from.
    auto it = std::find(order.begin(), order.end(), from);
    if (it == order.end()) return forward ? stops.front() : stops.back();
    const long n = static_cast<long>(order.size());
    long i = it - order.begin();
    for (long step = 1; step <= n; ++step) {
        long j = ((i + (forward ? step : -step)) % n + n) % n;
        TWinControl* c = order[static_cast<std::size_t>(j)];
        if (c->TabStop && c->CanFocus()) return c;
    }
    return nullptr;
}

void TForm::SelectNext(TWinControl* from, bool forward) {
    if (TWinControl* next = FindNextControl(from, forward)) next->SetFocus();
}

void TForm::SelectFirst() {
    if (active_ && active_->CanFocus()) {
        if (entered_ != active_) FocusControl(active_);
        return;
    }
    if (TWinControl* first = FindNextControl(nullptr, true)) first->SetFocus();
}

void TForm::controlGone(TControl* c) {
    auto* w = dynamic_cast<TWinControl*>(c);
    if (!w) return;
    if (active_ && w->ContainsControl(active_)) active_ = nullptr;
    if (entered_ && w->ContainsControl(entered_)) entered_ = parentInForm(w, this);
}
