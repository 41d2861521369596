// The main window: its layout, every menu item and button, and the mailbox
// actions from end to end against the scripted POP3 server.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGlyphRun>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRawFont>
#include <QTableWidget>
#include <QTextLayout>
#include <QTimer>

#include "account/account_settings.h"
#include "account/account_token.h"
#include "account/password_scramble.h"
#include "platform/secret_store.h"
#include "platform/text.h"
#include "support/oauth_token_server.h"
#include "support/pop3_script_pieces.h"
#include "support/private_keyring.h"
#include "support/recording_printer.h"
#include "support/scratch_folder.h"
#include "ui/config_dialog.h"
#include "ui/corbeille_dialog.h"
#include "ui/gradient_panel.h"
#include "ui/grid_table.h"
#include "ui/preview_fields.h"
#include "ui/preview_memo.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"
#include "window_fixture.h"

namespace {

struct Place {
    const char* name;
    std::function<QWidget*(TForm1&)> control;
    QSize least;  // the default layout's size: the font may ask for more
};
const Place kPlaces[] = {
    {"Panel1", [](TForm1& f) { return f.Panel1; }, {113, 521}},
    {"RxSpinEdit1", [](TForm1& f) { return f.RxSpinEdit1; }, {49, 28}},
    {"BitBtn1", [](TForm1& f) { return f.BitBtn1; }, {89, 73}},
    {"BitBtn2", [](TForm1& f) { return f.BitBtn2; }, {89, 73}},
    {"BitBtn3", [](TForm1& f) { return f.BitBtn3; }, {89, 73}},
    {"BitBtn4", [](TForm1& f) { return f.BitBtn4; }, {89, 73}},
    {"BitBtn5", [](TForm1& f) { return f.BitBtn5; }, {89, 73}},
    {"StringGrid1", [](TForm1& f) { return f.StringGrid1; }, {657, 204}},
    {"Memo1", [](TForm1& f) { return f.Memo1; }, {657, 281}},
    {"StatusBar1", [](TForm1& f) { return f.StatusBar1; }, {792, 24}},
};

// Each control at least its default size, its text whole, none over
// another, at the default font and at a large one.
void ExpectLaidOut(TForm1& form1) {
    QWidget* client = form1.centralWidget();
    std::vector<std::pair<const char*, QRect>> rects;
    for (const Place& place : kPlaces) {
        QWidget* control = place.control(form1);
        const QRect actual(control->mapTo(client, QPoint(0, 0)), control->size());
        EXPECT_GE(actual.width(), place.least.width()) << place.name;
        EXPECT_GE(actual.height(), place.least.height()) << place.name;
        EXPECT_TRUE(client->rect().contains(actual)) << place.name;
        if (std::string(place.name) != "Panel1") rects.emplace_back(place.name, actual);
    }
    rects.emplace_back("PreviewFields1", form1.PreviewFields1->geometry());
    for (std::size_t i = 0; i < rects.size(); ++i)
        for (std::size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(rects[i].second.intersects(rects[j].second))
                << rects[i].first << " " << rects[j].first;
    for (QToolButton* b : {form1.BitBtn1, form1.BitBtn2, form1.BitBtn3, form1.BitBtn4, form1.BitBtn5}) {
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        EXPECT_GE(b->height(), b->sizeHint().height()) << b->text().toStdString();
    }
    // The gradient runs down to the status bar.
    EXPECT_EQ(form1.DegradClass1->geometry(), form1.Panel1->rect());
    EXPECT_GE(form1.Panel1->geometry().bottom() + 2, form1.StatusBar1->geometry().top());
}

TEST_F(WindowFixture, EveryControlAtItsPlaceAndGrowingFeedsGridAndPreview) {
    Show();
    ExpectLaidOut(form1);
    EXPECT_EQ(form1.Label2->mapTo(form1.Panel1, QPoint(0, 0)), QPoint(24, 16));
    EXPECT_EQ(form1.Label2->text(), "Compte &N°");  // Alt+N reaches the selector
    EXPECT_EQ(form1.StatusBar1->Panel(0)->width(), 200);
    std::vector<QString> captions;
    for (QToolButton* b : {form1.BitBtn1, form1.BitBtn2, form1.BitBtn3, form1.BitBtn4, form1.BitBtn5}) {
        captions.push_back(b->text());
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(b->icon().isNull());
    }
    EXPECT_EQ(captions, (std::vector<QString>{"En-têtes", "Aperçu", "Supprimer", "Amis", "Intrus"}));
    EXPECT_FALSE(form1.windowIcon().isNull());

    const QRect grid = form1.StringGrid1->geometry(), memo = form1.Memo1->geometry();
    form1.resize(form1.width() + 100, form1.height() + 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(form1.StringGrid1->geometry(), grid.adjusted(0, 0, 100, 30));
    EXPECT_EQ(form1.Memo1->geometry(), memo.adjusted(0, 30, 100, 60));
    EXPECT_EQ(form1.StatusBar1->geometry().bottom(), form1.centralWidget()->height() - 1);
    ExpectLaidOut(form1);

    // A large font: everything grows with it, the window too.
    QFont large = form1.font();
    large.setPointSize(large.pointSize() * 2);
    form1.setFont(large);
    QCoreApplication::processEvents();
    form1.resize(1, 1);
    QCoreApplication::processEvents();
    EXPECT_GT(form1.StringGrid1->columnWidth(0), GridTable::kWidths[1]);
    ExpectLaidOut(form1);
}

TEST_F(WindowFixture, GridSettingsAndHeadings) {
    GridTable& grid = *form1.StringGrid1;
    EXPECT_EQ(grid.RowCount(), 1000);
    const char* headings[] = {"", "Date, heure", "Expéditeur", "Sujet", "Taille", "Statut"};
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(grid.Cell(column, 0), headings[column]);
        const int width = column == 0 ? grid.verticalHeader()->width() : grid.columnWidth(column - 1);
        EXPECT_GE(width, GridTable::kWidths[column]) << column;
        if (column > 0) {
            EXPECT_GT(width,
                      QFontMetrics(grid.horizontalHeader()->font()).horizontalAdvance(headings[column]))
                << "heading " << column << " whole";
        }
    }
    EXPECT_EQ(grid.Cell(0, 1), "") << "no row numbers of the table's own";
    grid.SetRow(1, {"1", "04/12/26 à 17:45", "Anne", "Salut", "123456", "A"});
    EXPECT_GE(grid.columnWidth(0), grid.fontMetrics().horizontalAdvance("04/12/26 à 17:45")) << "date whole";
    EXPECT_EQ(grid.textElideMode(), Qt::ElideRight) << "a long cell ends with the mark";
    EXPECT_EQ(grid.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(grid.horizontalHeader()->sectionsMovable());
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_FALSE(form1.Memo1->isReadOnly());
    EXPECT_EQ(form1.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(WindowFixture, DraggedColumnKeepsItsHeadingOverItsCells) {
    GridTable& grid = *form1.StringGrid1;
    grid.SetCell(2, 1, "Anne");
    grid.SetCell(3, 1, "Salut");
    grid.horizontalHeader()->moveSection(1, 3);  // "Expéditeur" after "Taille"
    EXPECT_EQ(grid.Cell(2, 1), "Anne");
    EXPECT_EQ(grid.Cell(2, 0), "Expéditeur");
    const int shownAt = grid.horizontalHeader()->visualIndex(1);
    EXPECT_EQ(shownAt, 3);
    EXPECT_EQ(grid.item(0, grid.horizontalHeader()->logicalIndex(shownAt))->text(), "Anne");
}

// A Debian desktop's fonts hold every glyph of a Chinese and an Arabic
// subject: laid out with the grid's font (and its fallbacks), no glyph is the
// missing-glyph box (index 0), and every character has a font that holds it.
TEST_F(WindowFixture, CjkAndArabicSubjectsHaveEveryGlyph) {
    GridTable& grid = *form1.StringGrid1;
    for (const char* subject : {"王小明的会议记录", "اجتماع الغد في المكتب"}) {
        SCOPED_TRACE(subject);
        grid.SetCell(3, 1, subject);
        const QString text = grid.item(0, 2)->text();
        EXPECT_EQ(text, QString::fromUtf8(subject));
        QTextLayout layout(text, grid.font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        ASSERT_FALSE(runs.isEmpty());
        for (const QGlyphRun& run : runs)
            for (quint32 glyph : run.glyphIndexes())
                EXPECT_NE(glyph, 0u) << run.rawFont().familyName().toStdString();
        for (QChar c : text) {
            if (c.isSpace()) continue;
            bool held = false;
            for (const QGlyphRun& run : runs) held = held || run.rawFont().supportsCharacter(c);
            EXPECT_TRUE(held) << static_cast<int>(c.unicode());
        }
    }
}

TEST_F(WindowFixture, KeyboardOrder) {
    // From the top left: the selector, the buttons, the grid, the fields
    // above the pane, the pane.
    std::vector<QWidget*> expected = {form1.RxSpinEdit1,
                                      form1.BitBtn1,
                                      form1.BitBtn2,
                                      form1.BitBtn3,
                                      form1.BitBtn4,
                                      form1.BitBtn5,
                                      form1.StringGrid1,
                                      form1.PreviewFields1->Subject,
                                      form1.PreviewFields1->Date,
                                      form1.PreviewFields1->Sender,
                                      form1.Memo1};
    // The focus chain from the selector, keeping the controls above only.
    std::vector<QWidget*> chain;
    QWidget* widget = expected.front();
    do {
        if (std::find(expected.begin(), expected.end(), widget) != expected.end()) chain.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != expected.front() && chain.size() < expected.size());
    EXPECT_EQ(chain, expected);
}

TEST_F(WindowFixture, FirstStartInAnEmptyFolder) {
    Show();
    EXPECT_EQ(form1.windowTitle(), "Courriel : compte non configuré");
    EXPECT_TRUE(boxes.shown.empty()) << "the lists are made, no box";
    EXPECT_EQ(FileBytes(paths.friends), "");
    EXPECT_EQ(FileBytes(paths.intruders), "");
    EXPECT_EQ(form1.Logic().StatusOf("Anne"), "") << "both lists empty";
    EXPECT_TRUE(form1.isVisible());
    form1.close();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2)
        << "closing writes the window's place beside the list folder";
    EXPECT_EQ(FileBytes(paths.settings).rfind("[Fenetre]", 0), 0u);
}

TEST_F(WindowFixture, FriendListPresentIntruderListMissing) {
    PutFile(paths.friends, "Anne\r\n");
    Show();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(), "Vannoir|Impossible d'ouvrir le fichier \"" +
                                            paths.intruders.string() +
                                            "\". Le fichier spécifié est introuvable.");
    EXPECT_EQ(form1.Logic().StatusOf("anne"), "A");
}

const std::string kSpam = Header("Spam <spam@example.fr>", "Promo");
const std::string kAnne = Header("Anne <anne@example.fr>", "Salut");

struct ScanAnswer {
    const char* name;
    QString answer;
    std::string afterScan;
    std::vector<std::string> rows;  // what the grid shows in the end
    std::string count;
};
const std::vector<std::string> kBoth = {"1|Anne|Salut|100|A", "2|Spam|Promo|200|I"};
const ScanAnswer kAnswers[] = {
    {"oui_purges_and_the_grid_shows_what_is_left",
     "&Oui",
     Stat(2) + Dele(2) + Quit(),
     {"1|Anne|Salut|100|A"},
     "1 message sur le serveur"},
    {"non_keeps", "&Non", Quit(), kBoth, "2 messages sur le serveur"},
    {"enter_keeps", BoxRecorder::kEnter, Quit(), kBoth, "2 messages sur le serveur"},
};
void PrintTo(const ScanAnswer& answer, std::ostream* out) { *out << answer.name; }
class ScanFromWindow : public WindowFixture, public testing::WithParamInterface<ScanAnswer> {};

TEST_P(ScanFromWindow, FillsGridMarksAndAsks) {
    WriteAccount();
    PutFile(paths.friends, "Anne\r\n");
    PutFile(paths.intruders, "Spam\r\n");
    Show();
    EXPECT_EQ(form1.windowTitle(), "Courriel : anne - 127.0.0.1");
    ScriptedPop3Server server(ScanLogin() + Stats(2, 4) + Message(1, kAnne, 100) + Message(2, kSpam, 200) +
                              GetParam().afterScan);
    UseServer(server);
    boxes.answers = {GetParam().answer};
    QTest::mouseClick(form1.BitBtn1, Qt::LeftButton);
    server.ExpectFinished();
    EXPECT_EQ(GridRows(), GetParam().rows);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(), "Confirmation|Voulez-vous détruire le message intrus ?");
    EXPECT_EQ(boxes.shown[0].listed, "Spam : Promo");
    EXPECT_EQ(Status(0), "Déconnecté.");
    EXPECT_EQ(Status(1), GetParam().count);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "busy cursor gone";
}
INSTANTIATE_TEST_SUITE_P(Table, ScanFromWindow, testing::ValuesIn(kAnswers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFixture, PreviewFillsThePaneAndFailuresShowTheErrorBox) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    ScriptedPop3Server server(ScanOf({kAnne}) + kNextSession + ScanLogin() + "C: RETR 1\n" +
                              MultiLineReply("+OK", kAnne + "\n\nBonjour,\nAnne\n") + Quit() + kNextSession +
                              "S: -ERR en maintenance\nC: QUIT\n");
    UseServer(server);
    MenuItem({"Actions", "Consulter en-têtes"})->trigger();
    MenuItem({"Actions", "Lire message"})->trigger();
    EXPECT_EQ(form1.Memo1->Lines(), (std::vector<std::string>{"Anne <anne@example.fr>", "",
                                                              "Nombre de parties : 0", "Bonjour,", "Anne"}));
    QTest::mouseClick(form1.BitBtn2, Qt::LeftButton);
    server.ExpectFinished();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(), "Erreur|Impossible de se connecter au serveur");
    EXPECT_EQ(boxes.shown[0].details, "en maintenance") << "the cause under the box's text";
    EXPECT_EQ(boxes.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(Status(0), "en maintenance");
    EXPECT_EQ(Status(1), "") << "no count of a session that failed";
}

TEST_F(WindowFixture, EveryMenuItemRunsItsHandler) {
    WriteAccount();
    PutFile(paths.friends, "Zoe\r\n");
    PutFile(paths.intruders, "Spam\r\n");
    Show();
    ScanRecord record(1);
    record[0].name = "Anne";
    form1.Logic().RestoreRecord(record);
    auto printer = std::make_unique<RecordingPrinter>();
    auto shell = std::make_unique<RecordingShell>();
    RecordingPrinter& printed = *printer;
    RecordingShell& opened = *shell;
    form1.UsePrinter(std::move(printer));
    form1.UseShell(std::move(shell));
    ScratchFolder home;
    form1.importFolders = {home.Path(), home / ".wine"};
    const Screener& lists = form1.Logic();

    MenuItem({"Fichier", "Imprimer", "en-têtes"})->trigger();
    EXPECT_EQ(printed.TextsPerPage(), std::vector<int>{6}) << "the heading row only";
    form1.Memo1->Clear();
    form1.Memo1->AppendLine("une ligne");
    MenuItem({"Fichier", "Imprimer", "message"})->trigger();
    EXPECT_EQ(printed.TextsPerPage(), (std::vector<int>{6, 1}));
    MenuItem({"Configuration", "Importer"})->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(), "Vannoir|Echec de l'importation. Entrez les paramètres manuellement");
    boxes.shown.clear();

    MenuItem({"Actions", "Ajouter ami"})->trigger();
    EXPECT_EQ(FileBytes(paths.friends), "Zoe\r\nAnne\r\n");
    MenuItem({"Actions", "Ajouter intrus"})->trigger();
    EXPECT_EQ(FileBytes(paths.intruders), "Spam\r\nAnne\r\n");
    MenuItem({"Actions", "Vider liste amis"})->trigger();
    EXPECT_EQ(lists.StatusOf("Zoe"), "");
    EXPECT_EQ(FileBytes(paths.friends), "Zoe\r\nAnne\r\n") << "emptying leaves the file";
    MenuItem({"Actions", "Vider liste intrus"})->trigger();
    EXPECT_EQ(lists.StatusOf("Spam"), "");

    WhileModal(
        windows.form2.get(),
        [&] {
            MenuItem({"Actions", "Supprimer ami"})->trigger();
        },
        [&] { EXPECT_EQ(windows.form2->ListBox1->count(), 2); });
    WhileModal(
        windows.form5.get(),
        [&] {
            MenuItem({"Actions", "Rayer intrus"})->trigger();
        },
        [&] { EXPECT_EQ(windows.form5->ListBox1->item(0)->text(), "Spam"); });
    WhileModal(
        windows.form3.get(),
        [&] {
            MenuItem({"Configuration", "Configurer"})->trigger();
        },
        [&] { EXPECT_EQ(windows.form3->RxSpinEdit1->text(), "2") << "opens on Nbre + 1"; });
    WhileModal(
        windows.form4.get(),
        [&] {
            MenuItem({"Aide", "A propos..."})->trigger();
        },
        [] {});

    MenuItem({"Aide", "Sommaire"})->trigger();
    EXPECT_EQ(opened.opened, std::vector<std::filesystem::path>{dir / "Aide" / "Accueil.htm"});

    boxes.answers = {"&Oui"};
    MenuItem({"Configuration", "Tout effacer"})->trigger();
    EXPECT_EQ(FileBytes(paths.settings), "[Form]\r\nNbre=0\r\nCorbeille=0\r\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(), "Confirmation|Effacer la configuration de tous les comptes ?");
    EXPECT_EQ(form1.windowTitle(), "Courriel : compte non configuré");

    MenuItem({"Fichier", "&Quitter"})->trigger();
    EXPECT_FALSE(form1.isVisible());
}

// An address fills the account from the table of providers; "Tester" tries
// it as typed; "Enregistrer" then saves it to the keyring, not to the file,
// and the account scans with the keyring's password.
TEST_F(WindowFixture, AnAddressFillsTheAccountTesterTriesItAndItScansFromTheKeyring) {
    auto keyring = PrivateKeyring::Start();
    if (!keyring) GTEST_SKIP() << "no keyring daemon (bash scripts/setup test)";
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    const std::string zoe = "C: USER zoe\nS: +OK\nC: PASS cl\xC3\xA9\nS: +OK\n";
    ScriptedPop3Server server("S: +OK ready\n" + zoe + Stat(4) + Quit() + kNextSession + "S: +OK ready\n" +
                              Capa() + zoe + Capa() + ScanOf({kAnne}).substr(ScanLogin().size()));
    PutFile(dir / "Fournisseurs.TXT",
            "exemple.fr;127.0.0.1;" + std::to_string(server.Port()) + ";Aucune;motdepasse;identifiant\r\n");
    Show();
    WhileModal(
        windows.form3.get(),
        [&] {
            MenuItem({"Configuration", "Configurer"})->trigger();
        },
        [&] {
            TForm3& dialog = *windows.form3;
            dialog.AddressEdit->setFocus();
            QTest::keyClicks(dialog.AddressEdit, "zoe@exemple.fr");
            QTest::keyClick(dialog.AddressEdit, Qt::Key_Return);
            EXPECT_EQ(dialog.Edit1->text(), "127.0.0.1");
            EXPECT_EQ(dialog.Edit2->text(), "zoe");
            EXPECT_EQ(dialog.SecurityBox->currentText(), "Aucune");
            EXPECT_FALSE(dialog.ClientIdEdit->isEnabled()) << "no client id for a password";
            EXPECT_TRUE(dialog.KeyringBox->isChecked()) << "a keyring answers";
            dialog.Edit3->setText(QStringLiteral("clé"));
            QTest::mouseClick(dialog.TestButton, Qt::LeftButton);
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Test réussi : connexion à 127.0.0.1, identifiants acceptés, 4 message(s) sur le serveur.");
    const StoredSlot stored = ReadStoredSlot(TIniFile(paths.settings), 2);
    EXPECT_EQ(stored.user, "zoe");
    EXPECT_EQ(stored.keyring, "1");
    EXPECT_EQ(stored.scrambledPassword + stored.storedPassword, "") << FileBytes(paths.settings);
    for (const char* clear : {"cl\xC3\xA9", "cl\xE9"})
        EXPECT_EQ(FileBytes(paths.settings).find(clear), std::string::npos) << "nor the password in clear";
    EXPECT_EQ(SystemSecretStore().Lookup({"127.0.0.1", "zoe"}), "clé");

    form1.RxSpinEdit1->SetValue(2);
    form1.RxSpinEdit1BottomClick();
    form1.BitBtn1Click();
    server.ExpectFinished();
    EXPECT_EQ(GridRows(), std::vector<std::string>{"1|Anne|Salut|100|"});
    EXPECT_EQ(boxes.shown.size(), 1u) << boxes.shown.back().text;
}

// An OAuth2 account whose token the browser must give: the desktop opens
// the provider's page and the window stays live while the user is there.
// "Arrêter" (Esc) ends the wait for the browser's return; a browser that
// comes back gives the token the scan logs in with; closing the window
// ends the wait too, and the window closes at once.
TEST_F(WindowFixture, TheWindowWaitsForTheBrowserUntilItComesBackOrIsStopped) {
    auto keyring = PrivateKeyring::Start();
    if (!keyring) GTEST_SKIP() << "no keyring daemon (bash scripts/setup test)";
    OAuthTokenServer provider("essai", "anne");
    PutFile(paths.settings,
            "[Form]\r\nNbre=1\r\nServeur1=127.0.0.1\r\nNom1=anne\r\nAuthentification1=oauth2\r\n"
            "IdClient1=essai\r\nCorbeille=0\r\n");
    std::filesystem::permissions(paths.settings,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    PutFile(dir / "Fournisseurs.TXT",
            "oauth2;127.0.0.1;" + provider.Url("/authorize") + ";" + provider.Url("/token") + ";pop;\r\n");
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    auto shell = std::make_unique<RecordingShell>();
    RecordingShell* away = shell.get();  // the user never comes back
    form1.UseShell(std::move(shell));
    QAction* stop = MenuItem({"Actions", "Arrêter"});
    ASSERT_NE(stop, nullptr);
    QElapsedTimer clock;
    QTimer::singleShot(300, [&] { stop->trigger(); });
    clock.start();
    form1.BitBtn1Click();
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_EQ(away->opened.size(), 1u);
    EXPECT_EQ(away->opened[0].string().rfind(provider.Url("/authorize?"), 0), 0u) << away->opened[0];
    EXPECT_EQ(Status(0), "Action arrêtée : rien n'a été supprimé.");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(form1.Logic().Busy());

    auto browser = std::make_unique<BrowserShell>();
    BrowserShell* back = browser.get();
    form1.UseShell(std::move(browser));
    // The provider's first code, then its first tokens: acc-2 and ref-3.
    ScriptedPop3Server server(
        "S: +OK ready\nC: AUTH XOAUTH2 dXNlcj1hbm5lAWF1dGg9QmVhcmVyIGFjYy0yAQE=\nS: +OK\n" + Capa() +
        ScanOf({kAnne}).substr(ScanLogin().size()));
    UseServer(server);
    form1.BitBtn1Click();
    server.ExpectFinished();
    EXPECT_EQ(GridRows(), std::vector<std::string>{"1|Anne|Salut|100|"});
    EXPECT_NE(back->Page().find("Vous pouvez fermer cette fenêtre."), std::string::npos);
    EXPECT_EQ(provider.CodeGrants(), 1);
    EXPECT_EQ(SystemSecretStore().Lookup({"127.0.0.1", "anne"}), "ref-3");
    EXPECT_TRUE(boxes.shown.empty());

    // A refresh token the provider no longer takes: back to the browser.
    ForgetAccessTokens();
    provider.RevokeRefreshTokens();
    auto again = std::make_unique<RecordingShell>();
    away = again.get();
    form1.UseShell(std::move(again));
    QElapsedTimer sinceClose;
    QTimer::singleShot(300, [&] {
        sinceClose.start();
        form1.close();
    });
    form1.BitBtn1Click();
    EXPECT_LT(sinceClose.elapsed(), 1000) << "closed at the next wait slice";
    EXPECT_EQ(away->opened.size(), 1u);
    EXPECT_FALSE(form1.isVisible());
    EXPECT_TRUE(boxes.shown.empty());
}

// The accounts of the user's other mail programs fill the configuration
// dialog's slots, which opens after the one imported.
TEST_F(WindowFixture, ImportFillsTheConfigurationDialogsSlots) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    ScratchFolder home;
    PutFile(home / ".config" / "evolution" / "sources" / "perso.source",
            "[Mail Account]\nBackendName=pop\n[Authentication]\nHost=pop.evo.fr\nUser=zoe\n");
    form1.importFolders = {home.Path(), home / ".wine"};
    WhileModal(
        windows.form3.get(),
        [&] {
            MenuItem({"Configuration", "Importer"})->trigger();
        },
        [&] {
            TForm3& dialog = *windows.form3;
            EXPECT_EQ(dialog.RxSpinEdit1->text(), "3") << "after the imported slot";
            QTest::keyClick(dialog.RxSpinEdit1, Qt::Key_Down);
            EXPECT_EQ(dialog.Edit1->text(), "pop.evo.fr");
            EXPECT_EQ(dialog.Edit2->text(), "zoe");
        });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(), "Vannoir|Importation réussie. Compléter par les mots de passe");
}

TEST_F(WindowFixture, SharedItemsRunTheButtonsHandlers) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    Show();
    // Each of these shares its button's handler: the same session goes out.
    ScriptedPop3Server server(ScanOf({kAnne}) + kNextSession + ScanOf({kAnne}) + kNextSession + ScanLogin() +
                              Message(1, kAnne, 100) + Dele(1) + Quit() + kNextSession + ScanOf({}));
    UseServer(server);
    QTest::mouseClick(form1.BitBtn1, Qt::LeftButton);
    MenuItem({"Actions", "Consulter en-têtes"})->trigger();
    boxes.answers = {"&Oui"};  // "Supprimer le message 1 de Anne : Salut ?"
    MenuItem({"Actions", "Supprimer message"})->trigger();
    server.ExpectFinished();
    EXPECT_TRUE(GridRows().empty());
    ScanRecord bruno(3);
    bruno[2].name = "Bruno";
    form1.Logic().RestoreRecord(bruno);
    form1.StringGrid1->setCurrentCell(2, 0);
    QTest::mouseClick(form1.BitBtn4, Qt::LeftButton);
    QTest::mouseClick(form1.BitBtn5, Qt::LeftButton);
    EXPECT_EQ(FileBytes(paths.friends), "Bruno\r\n");
    EXPECT_EQ(FileBytes(paths.intruders), "Bruno\r\n");
}

TEST_F(WindowFixture, SelectorButtonsLoadTheAccount) {
    WriteAccount();
    Show();
    EXPECT_EQ(form1.windowTitle(), "Courriel : anne - 127.0.0.1");
    form1.RxSpinEdit1->UpClick();
    EXPECT_EQ(form1.windowTitle(), "Courriel : compte non configuré");
    form1.RxSpinEdit1->setFocus();
    QTest::keyClick(form1.RxSpinEdit1, Qt::Key_Down);
    EXPECT_EQ(form1.windowTitle(), "Courriel : anne - 127.0.0.1");
}

// The selector's number, typed and not confirmed, is the account the
// action uses; slot 1 points at a closed port and must not be tried.
TEST_F(WindowFixture, TypedAccountNumberIsTheOneUsed) {
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "");
    ScriptedPop3Server server(ScanOf({kAnne}));
    PutFile(paths.settings, "[Form]\r\nNbre=4\r\nServeur1=127.0.0.1\r\nPort1=1\r\nNom1=bob\r\nPasse1=" +
                                ScramblePassword("autre", [] { return 65; }) +
                                "\r\n"
                                "Serveur4=127.0.0.1\r\nNom4=anne\r\nSecurite4=Aucune\r\nPort4=" +
                                std::to_string(server.Port()) +
                                "\r\nPasse4=" + ScramblePassword("secret", [] { return 65; }) + "\r\n");
    std::filesystem::permissions(paths.settings,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    Show();
    EXPECT_EQ(form1.windowTitle(), "Courriel : bob - 127.0.0.1");
    form1.RxSpinEdit1->setText("4");
    form1.BitBtn1Click();
    server.ExpectFinished();
    EXPECT_EQ(form1.windowTitle(), "Courriel : anne - 127.0.0.1");
    EXPECT_EQ(GridRows(), std::vector<std::string>{"1|Anne|Salut|100|"});
    EXPECT_TRUE(boxes.shown.empty());
}

// "Arrêter" (Esc) during a slow scan: the session dropped without QUIT, the
// rows read stay, nothing modal; a second request meanwhile goes to the
// status bar, and the progress bar shows how far the scan came.
TEST_F(WindowFixture, StopEndsAScanWithoutQuitAndKeepsItsRows) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "Anne\r\n");
    Show();
    ScriptedPop3Server server(ScanLogin() + Stats(3, 4) + Message(1, kAnne, 100) + "!pause 400\n" +
                              Message(2, kAnne, 200) + "!stall\n");
    UseServer(server);
    QAction* stop = MenuItem({"Actions", "Arrêter"});
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->shortcut(), QKeySequence(Qt::Key_Escape));
    std::string refusal;
    int progress = -1;
    QTimer::singleShot(700, [&] {
        form1.BitBtn2Click();
        refusal = Status(0);
        progress = form1.StatusBar1->Progress()->isVisible() ? form1.StatusBar1->Progress()->value() : -1;
        stop->trigger();
    });
    QElapsedTimer clock;
    clock.start();
    form1.BitBtn1Click();
    EXPECT_LT(clock.elapsed(), 2000);
    server.ExpectFinished();
    EXPECT_EQ(refusal,
              "Une action sur la boîte aux lettres est déjà en cours : attendez qu'elle se termine.");
    EXPECT_EQ(progress, 2);
    for (const std::string& command : server.Commands()) {
        EXPECT_NE(command, "QUIT");
        EXPECT_NE(command.substr(0, 4), "DELE");
    }
    EXPECT_EQ(GridRows(), (std::vector<std::string>{"1|Anne|Salut|100|I", "2|Anne|Salut|200|I"}));
    EXPECT_TRUE(boxes.shown.empty()) << "no purge question, no error box";
    EXPECT_EQ(Status(0), "Action arrêtée : rien n'a été supprimé.");
    EXPECT_FALSE(form1.StatusBar1->Progress()->isVisible());
    EXPECT_FALSE(form1.Logic().Busy());
}

TEST_F(WindowFixture, ClosingDuringAWaitStopsTheActionAndClosesAtOnce) {
    WriteAccount();
    PutFile(paths.friends, "");
    PutFile(paths.intruders, "Anne\r\n");
    Show();
    ScriptedPop3Server server(ScanLogin() + Stats(2, 4) + Message(1, kAnne, 100) + "!stall\n");
    UseServer(server);
    QElapsedTimer sinceClose;
    QTimer::singleShot(300, [&] {
        sinceClose.start();
        form1.close();
    });
    form1.BitBtn1Click();
    EXPECT_LT(sinceClose.elapsed(), 200) << "closed at the next wait slice";
    server.ExpectFinished();
    EXPECT_FALSE(form1.isVisible());
    EXPECT_TRUE(boxes.shown.empty()) << "no purge question after a close";
    for (const std::string& command : server.Commands()) {
        EXPECT_NE(command, "QUIT");
        EXPECT_NE(command.substr(0, 4), "DELE");
    }
}

}  // namespace

namespace {

// The copies a purge kept, listed in "Fichier" > "Corbeille…", one saved
// where the (preset) file chooser says.
TEST_F(WindowFixture, CorbeilleListsThePurgesCopiesAndSavesOne) {
    WriteAccount();
    PutFile(paths.settings, "[Form]\r\nNbre=1\r\nServeur1=127.0.0.1\r\nNom1=anne\r\nPasse1=" +
                                ScramblePassword("secret", [] { return 65; }) + "\r\n");
    PutFile(paths.friends, "Anne\r\n");
    PutFile(paths.intruders, "Spam\r\n");
    Show();
    const std::string spam = "From: Spam <s@pub.example>\r\nSubject: Promo\r\n\r\nAchetez \xE9t\xE9.\r\n";
    ScriptedPop3Server server(ScanLogin() + Stats(2, 4) + Message(1, kAnne, 100) + Message(2, kSpam, 200) +
                              Stat(2) + Retr(2, spam) + Dele(2) + Quit());
    UseServer(server);
    boxes.answers = {"&Oui"};
    QTest::mouseClick(form1.BitBtn1, Qt::LeftButton);
    server.ExpectFinished();

    MenuItem({"Fichier", "Corbeille…"})->trigger();
    CorbeilleWindow* corbeille = form1.Corbeille();
    ASSERT_NE(corbeille, nullptr);
    EXPECT_TRUE(corbeille->isVisible());
    ASSERT_EQ(corbeille->List->rowCount(), 1);
    EXPECT_EQ(corbeille->List->item(0, 1)->text(), "anne@127.0.0.1:" + QString::number(server.Port()));
    EXPECT_EQ(corbeille->List->item(0, 2)->text(), "Spam");
    EXPECT_EQ(corbeille->List->item(0, 3)->text(), "Promo");
    corbeille->List->selectRow(0);
    const std::filesystem::path saved = dir / "gardé.eml";
    QString suggested;
    corbeille->chooseFile = [&](const QString& name) {
        suggested = name;
        return QString::fromStdString(saved.string());
    };
    QTest::mouseClick(corbeille->SaveButton, Qt::LeftButton);
    EXPECT_EQ(suggested, "message-1.eml");
    EXPECT_EQ(FileBytes(saved), spam);
    EXPECT_TRUE(boxes.shown.size() == 1u) << "only the purge question";
}

}  // namespace
