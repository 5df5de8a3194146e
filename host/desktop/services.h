// The desktop's dialog services: real message boxes with Portuguese buttons,
// the three lookup dialogs, and the busy animation (a wait cursor and an
// unobtrusive progress indicator).
#pragma once

#include "platform/ui/services.h"

#include <QString>
#include <functional>

class QWidget;

namespace desk {

class QtServices : public IUiServices {
public:
    // `parent` gives the dialogs their owner window (the main window); it is
    // asked at each use, so the dialogs sit over the window of the moment.
    explicit QtServices(std::function<QWidget*()> parent);

    int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) override;
    void ShowError(const std::string& text) override;
    bool Pesquisar(TDataSource* ds, const std::string& title) override;
    bool PesquisaLista(TDataSource* ds, const std::string& keyField, const std::string& title,
                       std::string& list) override;
    bool PesqArv(TDataSource* ds, const std::string& picture, const std::vector<std::string>& fields,
                 const std::string& title, std::string& code) override;
    void BusyActivate(int kind) override;
    void BusyDeactivate() override;

    int BusyDepth() const { return busy_; }
    // While it answers true (the application is quitting) no dialog opens:
    // boxes take their default answer (No for a question) and lookups cancel.
    std::function<bool()> Quitting;
    // Told when the busy indicator turns on or off (the main window's status bar).
    std::function<void(bool on, const QString& what)> OnBusy;

    // Caption of a message box of this type ("Confirmação", "Erro", ...).
    static QString CaptionOf(TMsgDlgType type);
    // Portuguese text of a button ("Sim", "Não", "OK", "Cancelar", ...).
    static QString ButtonText(TMsgDlgBtn b);
    // What the busy animation of a kind tells the user.
    static QString BusyText(int kind);

private:
    std::function<QWidget*()> parent_;
    int busy_ = 0;
    QWidget* owner() const;
    bool quitting() const { return Quitting && Quitting(); }
};

}  // namespace desk
