// The suite's main window: the MDI area where the module's screens open,
// the menu with the "Lançamento Contábil" command, the commands of the active
// screen's own menu merged in, and a status bar with the company, the
// operator, the server and the busy indicator.
#pragma once

#include "platform/ui/stdctrls.h"

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QProgressBar>
#include <functional>
#include <map>

namespace desk {

class MainWindow : public QMainWindow {
public:
    MainWindow();

    QMdiArea* Mdi() const { return mdi_; }
    QAction* EntryCommand() const { return entry_; }

    // Shows the active screen's menu (nullptr: none) between the suite's
    // menus; its commands run `run` with the item clicked.
    void MergeMenu(TMainMenu* menu, const std::function<void(TMenuItem*)>& run);
    // Copies caption, enabled, visible and checked state of the merged items.
    void SyncMergedMenu();
    TMainMenu* MergedMenu() const { return merged_; }
    // The QAction of a merged menu item (tests, screenshots).
    QAction* ActionOf(const TMenuItem* item) const;

    // `serverHint` is the server's full address, shown as the hint of its label.
    void SetStatus(const QString& company, const QString& operatorName, const QString& server,
                   const QString& serverHint = {});
    void SetBusy(bool on, const QString& what);

    // Asked when the user closes the window; false keeps it open.
    std::function<bool()> OnCloseRequest;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QMdiArea* mdi_;
    QAction* entry_;
    QMenu* windowMenu_;
    QLabel* company_;
    QLabel* operator_;
    QLabel* server_;
    QLabel* busyText_;
    QProgressBar* busy_;
    TMainMenu* merged_ = nullptr;
    std::vector<QMenu*> mergedMenus_;
    std::map<const TMenuItem*, QAction*> actions_;
    void addItems(QMenu* into, TMenuItem* parent, const std::function<void(TMenuItem*)>& run);
};

}  // namespace desk
