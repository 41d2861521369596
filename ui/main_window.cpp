// TForm1, the main window.
#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

#include "app/corbeille_texts.h"
#include "app/texts.h"
#include "ui/about_dialog.h"
#include "ui/app_icon.h"
#include "ui/config_dialog.h"
#include "ui/corbeille_dialog.h"
#include "ui/document_windows.h"
#include "ui/friends_dialog.h"
#include "ui/gradient_panel.h"
#include "ui/grid_table.h"
#include "ui/intruders_dialog.h"
#include "ui/preview_fields.h"
#include "ui/preview_memo.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_printer.h"
#include "ui/qt_text.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"
#include "ui/watch_tray.h"

namespace {

QToolButton* MakeButton(QWidget* parent, const QString& caption, const QString& picture, int top) {
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(ButtonIcon(picture));
    button->setIconSize(QSize(40, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->move(8, top);
    return button;
}

}  // namespace

TForm1::TForm1(const AppPaths& paths, QtDialogs& dialogs) : dialogs_(dialogs), paths_(paths) {
    setWindowTitle(QtDialogs::kApplicationTitle);
    setWindowIcon(AppIcon());
    auto* client = new QWidget(this);
    client->setBackgroundRole(QPalette::Button);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    client->installEventFilter(this);

    Panel1 = new QWidget(client);
    DegradClass1 = new TDegradClass(Panel1);
    DegradClass1->SetStartColor(PanelColour::Fixed(QColor(0, 0, 255)));
    DegradClass1->SetEndColor(PanelColour::System(QPalette::Button));
    Label2 = new QLabel(QStringLiteral("Compte &N°"), Panel1);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);
    Label2->setAttribute(Qt::WA_TranslucentBackground);
    Label2->move(24, 16);
    Label2->adjustSize();
    BitBtn1 = MakeButton(Panel1, QStringLiteral("En-têtes"), QStringLiteral("entetes"), 80);
    BitBtn2 = MakeButton(Panel1, QStringLiteral("Aperçu"), QStringLiteral("apercu"), 168);
    BitBtn3 = MakeButton(Panel1, QStringLiteral("Supprimer"), QStringLiteral("supprimer"), 256);
    BitBtn4 = MakeButton(Panel1, QStringLiteral("Amis"), QStringLiteral("amis"), 344);
    BitBtn5 = MakeButton(Panel1, QStringLiteral("Intrus"), QStringLiteral("intrus"), 432);

    RxSpinEdit1 = new TRxSpinEdit(client);
    RxSpinEdit1->SetRange(0, 10);
    RxSpinEdit1->SetValue(1);
    QFont selectorFont = RxSpinEdit1->font();
    selectorFont.setPointSize(12);
    selectorFont.setBold(true);
    RxSpinEdit1->setFont(selectorFont);
    QPalette selectorColours = RxSpinEdit1->palette();
    selectorColours.setColor(QPalette::Text, Qt::red);
    RxSpinEdit1->setPalette(selectorColours);
    RxSpinEdit1->raise();

    StringGrid1 = new GridTable(client);
    Memo1 = new PreviewMemo(client);
    PreviewFields1 = new PreviewFields(client);
    StatusBar1 = new StatusBarPanels(client);

    // The selector, the buttons, then the grid and the preview, as they
    // read from the top left.
    setTabOrder(RxSpinEdit1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, BitBtn5);
    setTabOrder(BitBtn5, StringGrid1);
    setTabOrder(StringGrid1, PreviewFields1->Subject);
    setTabOrder(PreviewFields1->Subject, PreviewFields1->Date);
    setTabOrder(PreviewFields1->Date, PreviewFields1->Sender);
    setTabOrder(PreviewFields1->Sender, Memo1);

    // The network waits let the window handle its events, often enough that
    // it never seems frozen (a turn at least every 50 ms).
    IdAntiFreeze1.IdleTimeOut = kLongestFreezeMs / 2;
    IdAntiFreeze1.SetMessagePump([](bool applicationHasPriority) {
        if (applicationHasPriority)
            QCoreApplication::processEvents();
        else
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    });
    screener_ = std::make_unique<Screener>(
        paths_, MainWindowView{*StringGrid1, *StatusBar1, *this, dialogs_, *this, *Memo1});
    printer_ = std::make_unique<QtPrinter>();
    shell_ = std::make_unique<DesktopShell>();
    // An OAuth2 authorization opens in the browser through the same shell.
    screener_->SetAuthorizationOpener([this](const std::string& url) { return shell_->Open(url); });
    documents_ = std::make_unique<DocumentWindows>(this);

    connect(BitBtn1, &QToolButton::clicked, this, &TForm1::BitBtn1Click);
    connect(BitBtn2, &QToolButton::clicked, this, &TForm1::BitBtn2Click);
    connect(BitBtn3, &QToolButton::clicked, this, &TForm1::BitBtn3Click);
    connect(BitBtn4, &QToolButton::clicked, this, &TForm1::BitBtn4Click);
    connect(BitBtn5, &QToolButton::clicked, this, &TForm1::BitBtn5Click);
    connect(RxSpinEdit1, &TRxSpinEdit::topClick, this, &TForm1::RxSpinEdit1BottomClick);
    connect(RxSpinEdit1, &TRxSpinEdit::bottomClick, this, &TForm1::RxSpinEdit1BottomClick);
    connect(StringGrid1, &GridTable::sortRequested, this, &TForm1::SortGrid);
    connect(StringGrid1, &GridTable::rowActivated, this, &TForm1::BitBtn2Click);
    // A typed number counts once Enter is pressed or the box is left.
    connect(RxSpinEdit1, &QLineEdit::editingFinished, this, &TForm1::RxSpinEdit1BottomClick);
    screener_->WatchSelector([this] { return static_cast<int>(RxSpinEdit1->Value()); });
    BuildMenus();
    AddShortcuts();
    Describe();

    // FormCreate.
    screener_->FormCreate();
    tray_ = std::make_unique<WatchTray>(
        *screener_, [this] { ShowFromTray(); }, [this] { Quit(); });
    tray_->checked = [this] { CheckEnded(); };
    tray_->Configure();
    FitToFont();
    resize(minimumSize());
    RestoreState();
}

TForm1::~TForm1() {
    // Closing the window moves the focus off the selector; its "typed number"
    // signal must not reach a window already half destroyed.
    RxSpinEdit1->disconnect(this);
}

void TForm1::SetDialogs(TForm2* friends, TForm3* config, TForm4* about, TForm5* intruders) {
    form2_ = friends;
    form3_ = config;
    form4_ = about;
    form5_ = intruders;
}

void TForm1::BuildMenus() {
    // Every menu and item has an accelerator of its own within its menu, so
    // that its letter runs it at once; the captions read as before.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&Fichier"));
    QMenu* print = file->addMenu(QStringLiteral("&Imprimer"));
    print->addAction(QStringLiteral("&en-têtes"), QKeySequence::Print, this, &TForm1::enttes1Click);
    print->addAction(QStringLiteral("&message"), this, &TForm1::message1Click);
    file->addAction(QStringLiteral("&") + toQt(std::string(texts::kJournalMenuItem)), this,
                    &TForm1::Journal1Click);
    file->addAction(QStringLiteral("&") + toQt(std::string(corbeille_texts::kMenuItem)), this,
                    &TForm1::Corbeille1Click);
    file->addSeparator();
    file->addAction(QStringLiteral("&Quitter"), this, &TForm1::Quitter1Click);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("&Configuration"));
    settings->addAction(QStringLiteral("&Importer"), this, &TForm1::Importer1Click);
    settings->addSeparator();
    settings->addAction(QStringLiteral("&Configurer"), this, &TForm1::Configurer1Click);
    settings->addSeparator();
    settings->addAction(QStringLiteral("&Tout effacer"), this, &TForm1::outeffacer1Click);

    QMenu* actions = menuBar()->addMenu(QStringLiteral("&Actions"));
    actions->addAction(QStringLiteral("&Consulter en-têtes"), Qt::Key_F5, this, &TForm1::BitBtn1Click);
    actions->addAction(QStringLiteral("&En-têtes (tout relire)"), QKeySequence(Qt::SHIFT | Qt::Key_F5), this,
                       &TForm1::Toutrelire1Click);
    actions->addAction(QStringLiteral("En-têtes de t&ous les comptes"), this, &TForm1::Touslescomptes1Click);
    actions->addAction(QStringLiteral("&Lire message"), this, &TForm1::BitBtn2Click);
    actions->addAction(QStringLiteral("&Supprimer message"), this, &TForm1::BitBtn3Click);
    QAction* stop = actions->addAction(QStringLiteral("A&rrêter"), this, &TForm1::Arreter1Click);
    stop->setShortcut(QKeySequence(Qt::Key_Escape));
    actions->addSeparator();
    actions->addAction(QStringLiteral("&Ajouter ami"), this, &TForm1::BitBtn4Click);
    actions->addAction(QStringLiteral("Su&pprimer ami"), this, &TForm1::Supprimerami1Click);
    actions->addAction(QStringLiteral("&Vider liste amis"), this, &TForm1::Viderlisteamis1Click);
    actions->addSeparator();
    actions->addAction(QStringLiteral("Ajouter &intrus"), this, &TForm1::BitBtn5Click);
    actions->addAction(QStringLiteral("Ra&yer intrus"), this, &TForm1::Rayerintrus1Click);
    actions->addAction(QStringLiteral("Vider liste in&trus"), this, &TForm1::Viderlisteintrus1Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Ai&de"));
    help->addAction(QStringLiteral("&Sommaire"), QKeySequence::HelpContents, this, &TForm1::Sommaire1Click);
    help->addSeparator();
    help->addAction(QStringLiteral("&A propos..."), this, &TForm1::Apropos1Click);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) Layout();
    // Once every control has the new font: new least sizes, new places.
    if (watched == centralWidget() && event->type() == QEvent::FontChange)
        QMetaObject::invokeMethod(
            this, [this] { FitToFont(); }, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::SetCaption(std::string_view text) { setWindowTitle(toQt(text)); }

void TForm1::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TForm1::Action(const std::function<void()>& action) {
    action();
    if (closeWaiting_ && !screener_->Busy()) {
        closeWaiting_ = false;
        close();
    }
}

void TForm1::UsePrinter(std::unique_ptr<Printer> printer) { printer_ = std::move(printer); }
void TForm1::UseShell(std::unique_ptr<Shell> shell) { shell_ = std::move(shell); }

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // The keys of the grid (arrows, Entrée, Suppr) work from the start.
    StringGrid1->setFocus(Qt::OtherFocusReason);
    // FormShow: the account of the selector, then the two lists. Run once the
    // window is on the screen, so an error box comes over the window.
    QMetaObject::invokeMethod(
        this, [this] { screener_->FormShow(static_cast<int>(RxSpinEdit1->Value())); }, Qt::QueuedConnection);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A mailbox action waiting on the network is stopped (no QUIT, nothing
    // deleted, nothing more asked); the window closes as soon as the action
    // has unwound, at its next wait slice.
    if (screener_->Busy()) {
        closeWaiting_ = true;
        screener_->Stop();
        event->ignore();
        return;
    }
    if (StayInTray()) {
        event->ignore();
        return;
    }
    SaveState();
    for (QWidget* dialog : std::initializer_list<QWidget*>{form2_, form3_, form4_, form5_})
        if (dialog) dialog->close();
    event->accept();
}

// Actions > Consulter en-têtes (F5), and the button.
void TForm1::BitBtn1Click() {
    Action([this] { screener_->Scan(); });
}
// Actions > En-têtes (tout relire) (Maj+F5): every header fetched again.
void TForm1::Toutrelire1Click() {
    Action([this] { screener_->Scan(ScanReading::Whole); });
}
// Actions > Lire message, and the button.
void TForm1::BitBtn2Click() {
    Action([this] {
        const int message = StringGrid1->CurrentRow();
        if (screener_->Preview(message).IsDone()) PreviewFields1->Show(screener_->RowShown(message));
    });
}
// Actions > Supprimer message, and the button.
void TForm1::BitBtn3Click() {
    Action([this] { screener_->DeleteCurrent(); });
}
// Actions > Ajouter ami, and the button.
void TForm1::BitBtn4Click() { screener_->AddCurrentSender(ListKind::Friends); }
// Actions > Ajouter intrus, and the button.
void TForm1::BitBtn5Click() { screener_->AddCurrentSender(ListKind::Intruders); }
// The account number's buttons and typed number.
void TForm1::RxSpinEdit1BottomClick() { screener_->SelectAccount(static_cast<int>(RxSpinEdit1->Value())); }
// Actions > Arrêter (Esc).
void TForm1::Arreter1Click() { screener_->Stop(); }
// Fichier > Imprimer > en-têtes.
void TForm1::enttes1Click() { screener_->PrintGrid(*printer_); }
// Fichier > Imprimer > message.
void TForm1::message1Click() { screener_->PrintMessage(*printer_); }
// Configuration > Importer.
void TForm1::Importer1Click() {
    MemoryRegistry accounts = UserAccountRegistry(importFolders, ImportRoom(paths_.settings));
    screener_->ImportAccounts(accounts, [this] { Configurer1Click(); });
}
// Configuration > Configurer.
void TForm1::Configurer1Click() {
    if (form3_) form3_->Execute();
    tray_->Configure();
}
// Configuration > Tout effacer.
void TForm1::outeffacer1Click() { screener_->EraseAllAccounts(); }
// Actions > Supprimer ami.
void TForm1::Supprimerami1Click() {
    if (form2_) form2_->Execute();
}
// Actions > Vider liste amis.
void TForm1::Viderlisteamis1Click() { screener_->EmptyList(ListKind::Friends); }
// Actions > Rayer intrus.
void TForm1::Rayerintrus1Click() {
    if (form5_) form5_->Execute();
}
// Actions > Vider liste intrus.
void TForm1::Viderlisteintrus1Click() { screener_->EmptyList(ListKind::Intruders); }
// Fichier > Journal des suppressions.
void TForm1::Journal1Click() { screener_->OpenJournal(*shell_, *documents_); }
// Fichier > Corbeille….
void TForm1::Corbeille1Click() {
    if (!corbeille_)
        corbeille_ = std::make_unique<CorbeilleWindow>(paths_.corbeille, paths_.settings, dialogs_, *shell_,
                                                       printer_, this);
    corbeille_->show();
    corbeille_->raise();
    corbeille_->Logic().Show();
}
// Aide > Sommaire (F1).
void TForm1::Sommaire1Click() { screener_->OpenHelp(*shell_, *documents_); }
// Aide > A propos...
void TForm1::Apropos1Click() {
    if (form4_) form4_->Execute();
}
void TForm1::SortGrid(int column, Qt::SortOrder order) {
    StringGrid1->ShowInOrder(screener_->GridOrder(column, order == Qt::DescendingOrder), column, order);
}
