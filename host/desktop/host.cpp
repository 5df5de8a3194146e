#include "host/desktop/host.h"

#include "host/desktop/reportpreview.h"
#include "host/desktop/widgets.h"
#include "platform/ui/dispatch.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QScreen>
#include <QVBoxLayout>

namespace desk {

// Closing a screen's window is the screen's own Close (which may refuse).
class CloseFilter : public QObject {
public:
    explicit CloseFilter(DesktopHost& host) : host_(host) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close) return false;
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w || host_.onOuterClose(w)) return false;
        event->ignore();
        return true;
    }

private:
    DesktopHost& host_;
};

DesktopHost::DesktopHost() : services_([this] { return static_cast<QWidget*>(main_.get()); }) {}

DesktopHost::~DesktopHost() {
    Application->Pump = nullptr;
    Application->OnFormEvent = nullptr;
    TReportDesignerDialog::SetOutput(nullptr);
    ::SetServices(nullptr);
    for (auto& [form, view] : views_) view->Detach();
}

void DesktopHost::Start(std::function<void()> openModule) {
    openModule_ = std::move(openModule);
    main_ = std::make_unique<MainWindow>();
    input_ = std::make_unique<InputFilter>(*this, [this](const QWidget* w) { return ControlOfWidget(w); });
    closeFilter_ = std::make_unique<CloseFilter>(*this);
    services_.OnBusy = [this](bool on, const QString& what) { main_->SetBusy(on, what); };
    services_.Quitting = [this] { return quit_; };
    ::SetServices(&services_);
    static QtReportOutput reports([] { return QApplication::activeWindow(); });
    TReportDesignerDialog::SetOutput(&reports);
    Application->OnFormEvent = [this](TForm* f, TFormEvent e) { onFormEvent(f, e); };
    Application->Pump = [this] { return pump(); };
    main_->OnCloseRequest = [this] { return CloseAll(); };
    QObject::connect(main_->EntryCommand(), &QAction::triggered, main_.get(), [this] { OpenEntryScreen(); });
    QObject::connect(main_->Mdi(), &QMdiArea::subWindowActivated, main_.get(), [this](QMdiSubWindow* sub) {
        if (syncing_ || !sub) return;
        for (auto& [form, view] : views_)
            if (view->Outer() == sub && Application->ActiveForm() != form && !Application->TopModal()) {
                TForm* f = const_cast<TForm*>(form);
                Act([f] { Application->Activate(f); });
                return;
            }
    });

    // The suite's main window in the model: the MDI frame of the screens and
    // the owner of the busy animation.
    Application->CreateForm(modelMain_);
    modelMain_->Name = "frmPrincipal";
    modelMain_->Caption = main_->windowTitle().toStdString();
    modelMain_->FormStyle = fsMDIForm;
    Application->MainForm = modelMain_;
    modelMain_->Show();
}

void DesktopHost::OpenEntryScreen() {
    if (openModule_) Act(openModule_);
}

bool DesktopHost::Act(const std::function<void()>& action) {
    const bool ok = Dispatch(action);
    SyncAll();
    return ok;
}

bool DesktopHost::pump() {
    SyncAll();
    if (quit_) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    return !quit_;
}

FormView* DesktopHost::ViewOf(const TForm* form) const {
    auto it = views_.find(form);
    return it == views_.end() ? nullptr : it->second;
}

QWidget* DesktopHost::WidgetOf(const TControl* c) const {
    if (!c) return nullptr;
    if (auto* f = dynamic_cast<const TForm*>(c)) return ViewOf(f);
    FormView* v = ViewOf(c->ParentForm());
    return v ? v->WidgetOf(c) : nullptr;
}

TControl* DesktopHost::ControlOfWidget(const QWidget* w) const {
    for (const QWidget* x = w; x; x = x->parentWidget())
        if (auto* v = dynamic_cast<const FormView*>(x)) return v->ControlOf(w);
    return nullptr;
}

FormView* DesktopHost::ensureView(TForm* form) {
    if (FormView* v = ViewOf(form)) return v;
    auto* view = new FormView(form, *this, input_.get());
    views_[form] = view;
    QWidget* outer = nullptr;
    if (form->FormStyle == fsMDIChild) {
        QMdiSubWindow* sub = main_->Mdi()->addSubWindow(view);
        sub->setWindowIcon(main_->windowIcon());
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        // A screen opens over the whole work area of the main window (at
        // least its designed size); its aligned panels and grids take the room.
        sub->resize(view->size());
        const QSize area = main_->Mdi()->viewport()->size();
        sub->setGeometry(QRect(QPoint(0, 0), sub->size().expandedTo(area)));
        outer = sub;
    } else {
        auto* window = new QWidget(main_.get(), Qt::Dialog);
        window->setWindowIcon(main_->windowIcon());
        auto* box = new QVBoxLayout(window);
        box->setContentsMargins(0, 0, 0, 0);
        box->addWidget(view);
        window->resize(view->size());
        const QRect frame = main_->geometry();
        window->move(frame.center() - QPoint(view->width() / 2, view->height() / 2));
        outer = window;
    }
    outer->setObjectName(QString::fromStdString(form->Name) + "_janela");
    outer->installEventFilter(closeFilter_.get());
    view->SetOuter(outer);
    return view;
}

void DesktopHost::onFormEvent(TForm* form, TFormEvent e) {
    if (form == modelMain_) return;
    if (e == feDestroying) {
        FormView* v = ViewOf(form);
        if (!v) return;
        if (main_->MergedMenu() == form->Menu) main_->MergeMenu(nullptr, {});
        views_.erase(form);
        v->Detach();
        QWidget* outer = v->Outer();
        closingFromModel_ = true;
        outer->hide();
        closingFromModel_ = false;
        outer->deleteLater();
        return;
    }
    if (e == feShown) ensureView(form);
    SyncAll();
}

bool DesktopHost::onOuterClose(QWidget* outer) {
    if (closingFromModel_ || quit_) return true;
    for (auto& [form, view] : views_) {
        if (view->Outer() != outer) continue;
        TForm* f = const_cast<TForm*>(form);
        Act([f] { f->Close(); });
        return false;  // the model hides or frees the form; the sync follows it
    }
    return true;
}

bool DesktopHost::CloseAll() {
    std::vector<TForm*> open;
    for (int i = 0; i < Application->FormCount(); ++i) {
        TForm* f = Application->Forms(i);
        if (f != modelMain_ && f->Visible) open.push_back(f);
    }
    if (Application->TopModal()) return false;  // a dialog is waiting for an answer
    for (TForm* f : open) {
        if (!Application->IsForm(f) || !f->Visible) continue;
        Act([f] { f->Close(); });
        if (Application->IsForm(f) && f->Visible && !f->Released()) return false;
    }
    quit_ = true;
    return true;
}

void DesktopHost::syncWindow(TForm* form, FormView* view) {
    QWidget* outer = view->Outer();
    const bool shown = form->Visible && !form->Released();
    if (!shown) {
        if (outer->isVisible()) {
            closingFromModel_ = true;
            outer->hide();
            closingFromModel_ = false;
        }
        return;
    }
    view->Sync();
    const QString title = PlainCaption(form->Caption);
    if (outer->windowTitle() != title) outer->setWindowTitle(title);
    if (!outer->isVisible()) {
        if (form->FormStyle != fsMDIChild)
            outer->setWindowModality(form->Modal() ? Qt::ApplicationModal : Qt::NonModal);
        outer->show();
        if (form->FormStyle == fsMDIChild && form->WindowState == wsMaximized) outer->showMaximized();
    }
}

void DesktopHost::syncActiveForm() {
    TForm* active = Application->ActiveForm();
    FormView* v = active ? ViewOf(active) : nullptr;
    if (!v || !v->Outer()->isVisible()) return;
    if (active->FormStyle == fsMDIChild) {
        auto* sub = static_cast<QMdiSubWindow*>(v->Outer());
        if (main_->Mdi()->activeSubWindow() != sub) main_->Mdi()->setActiveSubWindow(sub);
    } else if (!v->Outer()->isActiveWindow()) {
        v->Outer()->raise();
        v->Outer()->activateWindow();
    }
}

void DesktopHost::syncFocus() {
    TWinControl* focused = Screen->ActiveControl();
    QWidget* w = WidgetOf(focused);
    if (!w || w->hasFocus() || !w->isVisible()) return;
    input_->SettingFocus = true;
    w->setFocus(Qt::OtherFocusReason);
    input_->SettingFocus = false;
}

void DesktopHost::syncMenu() {
    // The menu of the active screen, or of the last screen of the MDI area.
    TForm* child = nullptr;
    TForm* active = Application->ActiveForm();
    if (active && active->FormStyle == fsMDIChild && active->Menu) child = active;
    if (!child)
        for (int i = Application->FormCount() - 1; i >= 0 && !child; --i) {
            TForm* f = Application->Forms(i);
            if (f->FormStyle == fsMDIChild && f->Visible && !f->Released() && f->Menu) child = f;
        }
    main_->MergeMenu(child ? child->Menu : nullptr, [this](TMenuItem* item) { Act([item] { item->UserClick(); }); });
    main_->SyncMergedMenu();
}

void DesktopHost::syncCursor() {
    const bool wait = Screen->Cursor == crHourGlass || Screen->Cursor == crSQLWait;
    if (wait == cursorSet_) return;
    if (wait) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
    cursorSet_ = wait;
}

void DesktopHost::SyncAll() {
    if (syncing_ || !main_) return;
    syncing_ = true;
    for (int i = 0; i < Application->FormCount(); ++i) {
        TForm* f = Application->Forms(i);
        if (f == modelMain_) continue;
        if (f->Visible && !f->Released()) ensureView(f);
        if (FormView* v = ViewOf(f)) syncWindow(f, v);
    }
    syncActiveForm();
    syncMenu();
    syncCursor();
    syncFocus();
    syncing_ = false;
}

}  // namespace desk
