// TForm1, the main window.
#pragma once
// The main window: side panel with the account selector and the five action
// buttons, the header grid, the preview pane, the status bar and the menus.
// Each handler is one call into the screening logic.
#include <QLabel>
#include <QMainWindow>
#include <QToolButton>
#include <functional>
#include <memory>

#include "account/user_accounts.h"
#include "app/main_window.h"
#include "net/anti_freeze.h"

class GridTable;
class PreviewMemo;
class PreviewFields;
class StatusBarPanels;
class TDegradClass;
class TRxSpinEdit;
class QtDialogs;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class CorbeilleWindow;
class WatchTray;
class DocumentWindows;

class TForm1 : public QMainWindow, public CaptionView, public BusyCursor {
    Q_OBJECT
public:
    TForm1(const AppPaths& paths, QtDialogs& dialogs);
    ~TForm1() override;

    // The dialogs it opens, created after it.
    void SetDialogs(TForm2* friends, TForm3* config, TForm4* about, TForm5* intruders);
    Screener& Logic() { return *screener_; }

    void SetCaption(std::string_view text) override;
    void SetBusy(bool busy) override;

    // The longest the window may go without handling its events.
    static constexpr int kLongestFreezeMs = 100;
    // The inside of the window below the menu at the default size.
    static constexpr QSize kClientSize{792, 546};

    QWidget* Panel1;
    TDegradClass* DegradClass1;
    QLabel* Label2;
    TRxSpinEdit* RxSpinEdit1;
    QToolButton *BitBtn1, *BitBtn2, *BitBtn3, *BitBtn4, *BitBtn5;
    GridTable* StringGrid1;
    PreviewMemo* Memo1;
    // The previewed message's subject, date and sender, above the pane.
    PreviewFields* PreviewFields1;
    StatusBarPanels* StatusBar1;
    // The services the menu's prints, help and import use: the default
    // printer, the desktop's opener, the user's folders; tests put their own.
    void UsePrinter(std::unique_ptr<Printer> printer);
    void UseShell(std::unique_ptr<Shell> shell);
    UserFolders importFolders = UserFolders::FromEnvironment();

    // Handlers, as the buttons and menu items run them.
    void BitBtn1Click();
    void Toutrelire1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void RxSpinEdit1BottomClick();
    void Arreter1Click();
    void enttes1Click();
    void message1Click();
    void Quitter1Click() { Quit(); }  // Fichier > Quitter
    // Ends the program, also when periodic checks would keep it in the tray.
    void Quit();
    // Actions > En-têtes de tous les comptes.
    void Touslescomptes1Click();
    // The tray icon and the periodic checks.
    WatchTray& Tray() { return *tray_; }
    void Importer1Click();
    void Configurer1Click();
    void outeffacer1Click();
    void Supprimerami1Click();
    void Viderlisteamis1Click();
    void Rayerintrus1Click();
    void Viderlisteintrus1Click();
    void Journal1Click();
    // "Fichier" > "Corbeille…": the window of the kept messages, made on first use.
    void Corbeille1Click();
    CorbeilleWindow* Corbeille() const { return corbeille_.get(); }
    void Sommaire1Click();
    void Apropos1Click();
    // A click on a grid heading.
    void SortGrid(int column, Qt::SortOrder order);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    // Places every control from the font's metrics; the figures of the
    // default layout are the least sizes.
    void Layout();
    // The window's least size for the font in use.
    QSize MinimumClient() const;
    void FitToFont();
    // Accessible names and descriptions, labels linked to their fields.
    void Describe();
    // The keys that reach the actions without the menus.
    void AddShortcuts();
    // The window's place, columns and account of the last run, and back.
    void RestoreState();
    void SaveState();
    // A mailbox action: the window may be closed while it waits; the action
    // is then stopped and the window closes as soon as it has unwound.
    void Action(const std::function<void()>& action);

    QtDialogs& dialogs_;
    AppPaths paths_;
    TIdAntiFreeze IdAntiFreeze1;
    std::unique_ptr<Screener> screener_;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    TForm5* form5_ = nullptr;
    bool shown_ = false;
    bool busy_ = false;
    std::unique_ptr<Printer> printer_;
    std::unique_ptr<Shell> shell_;
    bool closeWaiting_ = false;
    std::unique_ptr<CorbeilleWindow> corbeille_;
    std::unique_ptr<WatchTray> tray_;
    bool quitting_ = false;
    // Closing with periodic checks on: hidden, kept in the tray; false when
    // the window is to close.
    bool StayInTray();
    // The tray's "Afficher la fenêtre", and a click on a notification.
    void ShowFromTray();
    void CheckEnded();
    // The help and journal windows, when the desktop opens neither.
    std::unique_ptr<DocumentWindows> documents_;
};
