// The desktop front end as a whole: it stands for the host application and
// the windowing platform. It hooks the model's application object (the pump
// of modal forms is a nested Qt event loop; shown, hidden and destroyed
// forms get, show and lose their windows), installs the real dialogs, keeps
// one FormView per form, and brings every window in step with the model
// after each user action: captions, state, the focus where the model put it,
// the active screen's menu and the screen cursor.
#pragma once

#include "host/desktop/actor.h"
#include "host/desktop/formview.h"
#include "host/desktop/input.h"
#include "host/desktop/mainwindow.h"
#include "host/desktop/services.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace desk {

class DesktopHost : public Actor {
public:
    DesktopHost();
    ~DesktopHost() override;
    DesktopHost(const DesktopHost&) = delete;
    DesktopHost& operator=(const DesktopHost&) = delete;

    // Creates the model's main form and the main window, installs the
    // services and the hooks. The entry command runs `openModule` (which
    // loads the module on first use and calls IniProc) as a user action.
    void Start(std::function<void()> openModule);

    bool Act(const std::function<void()>& action) override;
    void SyncAll() override;

    MainWindow* Main() const { return main_.get(); }
    QtServices& Services() { return services_; }
    FormView* ViewOf(const TForm* form) const;
    // The widget of a control of any open form (nullptr when it has none).
    QWidget* WidgetOf(const TControl* control) const;
    TControl* ControlOfWidget(const QWidget* w) const;
    // Runs the main window's entry command (as its menu does).
    void OpenEntryScreen();

    // The user asked to close the main window: every screen is closed as by
    // its own close; false when one of them refused.
    bool CloseAll();
    bool QuitRequested() const { return quit_; }
    // Ends every modal loop of the model (its forms close as by their cancel
    // button) and lets the application quit.
    void RequestQuit() { quit_ = true; }

private:
    std::unique_ptr<MainWindow> main_;
    QtServices services_;
    std::unique_ptr<InputFilter> input_;
    std::unique_ptr<QObject> closeFilter_;
    std::map<const TForm*, FormView*> views_;
    std::function<void()> openModule_;
    TForm* modelMain_ = nullptr;
    bool quit_ = false;
    bool syncing_ = false;
    bool closingFromModel_ = false;
    bool cursorSet_ = false;

    FormView* ensureView(TForm* form);
    void onFormEvent(TForm* form, TFormEvent e);
    void syncWindow(TForm* form, FormView* view);
    void syncActiveForm();
    void syncFocus();
    void syncMenu();
    void syncCursor();
    bool pump();
    bool onOuterClose(QWidget* outer);
    friend class CloseFilter;
};

}  // namespace desk
