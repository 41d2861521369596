// The four dialogs: places, keys, the close box, the list boxes' layouts.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include "platform/text.h"
#include "window_fixture.h"

namespace {

struct DialogPlace {
    const char* name;
    std::function<QWidget*(VannoirWindows&)> control;
    // The place, and the least size (the text may ask for more); width and
    // height 0: the label's own size.
    QRect rect;
};
const DialogPlace kDialogPlaces[] = {
    {"TForm3.Label4", [](VannoirWindows& w) { return w.form3->Label4; }, {48, 8, 0, 0}},
    {"TForm3.RxSpinEdit1", [](VannoirWindows& w) { return w.form3->RxSpinEdit1; }, {120, 6, 41, 22}},
    {"TForm3.Label1", [](VannoirWindows& w) { return w.form3->Label1; }, {48, 56, 0, 0}},
    {"TForm3.Edit1", [](VannoirWindows& w) { return w.form3->Edit1; }, {184, 56, 121, 21}},
    {"TForm3.Label2", [](VannoirWindows& w) { return w.form3->Label2; }, {48, 96, 0, 0}},
    {"TForm3.Edit2", [](VannoirWindows& w) { return w.form3->Edit2; }, {184, 96, 121, 21}},
    {"TForm3.Label3", [](VannoirWindows& w) { return w.form3->Label3; }, {48, 136, 0, 0}},
    {"TForm3.Edit3", [](VannoirWindows& w) { return w.form3->Edit3; }, {184, 136, 121, 21}},
    {"TForm3.Button1", [](VannoirWindows& w) { return w.form3->Button1; }, {120, 184, 75, 25}},
    {"TForm3.Button2", [](VannoirWindows& w) { return w.form3->Button2; }, {240, 184, 75, 25}},
    {"TForm2.ListBox1", [](VannoirWindows& w) { return w.form2->ListBox1; }, {0, 0, 225, 385}},
    {"TForm2.Button1", [](VannoirWindows& w) { return w.form2->Button1; }, {72, 408, 75, 25}},
    {"TForm5.ListBox1", [](VannoirWindows& w) { return w.form5->ListBox1; }, {0, 0, 225, 385}},
    {"TForm5.Button1", [](VannoirWindows& w) { return w.form5->Button1; }, {72, 408, 75, 25}},
    {"TForm4.Image1", [](VannoirWindows& w) { return w.form4->Image1; }, {8, 24, 33, 33}},
    {"TForm4.Label1", [](VannoirWindows& w) { return w.form4->Label1; }, {56, 24, 125, 29}},
    {"TForm4.Label2", [](VannoirWindows& w) { return w.form4->Label2; }, {64, 72, 0, 0}},
    {"TForm4.Button1", [](VannoirWindows& w) { return w.form4->Button1; }, {56, 128, 75, 25}},
};

TEST_F(WindowFixture, DialogControlsAtTheirPlaces) {
    for (const DialogPlace& place : kDialogPlaces) {
        QWidget* control = place.control(windows);
        const QRect actual = control->geometry();
        if (std::string(place.name) != "TForm4.Label2" && std::string(place.name) != "TForm4.Button1") {
            EXPECT_EQ(actual.topLeft(), place.rect.topLeft()) << place.name;
        }
        EXPECT_GE(actual.width(), place.rect.width()) << place.name;
        EXPECT_GE(actual.height(), place.rect.height()) << place.name;
        // Its text whole: a caption or a title is never cut.
        if (control->inherits("QAbstractButton") || control->inherits("QLabel")) {
            EXPECT_GE(actual.width(), control->sizeHint().width()) << place.name;
        }
        EXPECT_TRUE(control->parentWidget()->rect().contains(actual)) << place.name;
    }
    // Below the about box's title, as the title's font leaves room.
    EXPECT_GE(windows.form4->Label2->y(), 72);
    EXPECT_GE(windows.form4->Button1->y(), 128);
    struct Frame {
        QDialog* dialog;
        QString caption;
        QSize client;
    };
    for (const Frame& f : {Frame{windows.form3.get(), "Configuration", TForm3::kClientSize},
                           Frame{windows.form2.get(), "Liste d'amis", {227, 446}},
                           Frame{windows.form5.get(), "Liste d'intrus", {227, 446}},
                           Frame{windows.form4.get(), "A propos de ...", {194, 162}}}) {
        EXPECT_EQ(f.dialog->windowTitle(), f.caption);
        EXPECT_GE(f.dialog->width(), f.client.width()) << f.caption.toStdString();
        EXPECT_GE(f.dialog->height(), f.client.height()) << f.caption.toStdString();
        EXPECT_EQ(f.dialog->minimumSize(), f.dialog->maximumSize()) << "fixed border";
        EXPECT_FALSE(f.dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    }
    EXPECT_EQ(windows.form3->Label1->text(), "Serveur POP ");
    EXPECT_EQ(windows.form4->Label2->text(), "Version 1,02");
    EXPECT_TRUE(windows.form3->Label4->font().bold());
    EXPECT_EQ(windows.form4->Label1->font().pointSize(), 18);
}

TEST_F(WindowFixture, ConfigurationKeysCloseBoxAndPassword) {
    PutFile(paths.settings,
            "[Form]\r\nNbre=0\r\nServeur1=pop.fr\r\nNom1=anne\r\nPasse1=" + std::string("#cfBC_") + "\r\n");
    TForm3& dialog = *windows.form3;
    WhileModal(
        &dialog, [&] { dialog.Execute(); },
        [&] {
            EXPECT_EQ(dialog.RxSpinEdit1->text(), "1");
            EXPECT_TRUE(dialog.Edit1->hasFocus() || QApplication::focusWidget() == nullptr);
            dialog.RxSpinEdit1->DownClick();
            dialog.RxSpinEdit1->UpClick();  // back on slot 1: loaded
            EXPECT_EQ(dialog.Edit1->text(), "pop.fr");
            EXPECT_EQ(dialog.Edit3->text(), "abc");
            EXPECT_EQ(dialog.Edit3->displayText(), "***") << "the password never shows";
            QTest::keyClick(dialog.Edit2, Qt::Key_Escape);
            QTest::keyClick(dialog.Edit2, Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible()) << "Escape and Enter press nothing";
            EXPECT_EQ(boxes.shown.size(), 0u);
            EXPECT_FALSE(dialog.Button1->isDefault() || dialog.Button1->autoDefault());
            EXPECT_FALSE(dialog.Button2->isDefault() || dialog.Button2->autoDefault());
        });
    EXPECT_EQ(FileBytes(paths.settings),
              "[Form]\r\nNbre=0\r\nServeur1=pop.fr\r\nNom1=anne\r\nPasse1=#cfBC_\r\n")
        << "the close box saves nothing";

    WhileModal(
        &dialog, [&] { dialog.Execute(); },
        [&] {
            dialog.Edit1->setText("pop.example.fr");
            dialog.Edit2->setText("zoe");
            dialog.Edit3->setText("motdepas");
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            EXPECT_EQ(dialog.RxSpinEdit1->text(), "2");
            EXPECT_EQ(dialog.Edit1->text(), "");
            QTest::mouseClick(dialog.Button1, Qt::LeftButton);
            QTest::mouseClick(dialog.Button2, Qt::LeftButton);
            EXPECT_FALSE(dialog.isVisible()) << "Annuler closes";
            dialog.show();  // for the helper's own close
        });
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].Summary(),
              "Vannoir|Remplir impérativement tous les champs avant enregistrement");
    EXPECT_NE(FileBytes(paths.settings).find("Serveur1=pop.example.fr"), std::string::npos);
}

TEST_F(WindowFixture, FriendBoxWrapsIntoColumnsIntruderBoxScrollsDown) {
    std::string names;
    for (int i = 0; i < 60; ++i) names += "Nom" + std::to_string(100 - i) + "\r\n";
    PutFile(paths.friends, names);
    PutFile(paths.intruders, names);
    WhileModal(
        windows.form2.get(), [&] { windows.form2->Execute(); },
        [&] {
            QListWidget& box = *windows.form2->ListBox1;
            EXPECT_EQ(box.item(0)->text(), "Nom100") << "sorted";
            EXPECT_EQ(box.item(1)->text(), "Nom41");
            // The last names continue in further columns to the right.
            EXPECT_GT(box.visualItemRect(box.item(59)).x(), 0);
            EXPECT_GT(box.horizontalScrollBar()->maximum(), 0);
            EXPECT_EQ(box.verticalScrollBar()->maximum(), 0);
            EXPECT_EQ(box.visualItemRect(box.item(0)).left(), box.visualItemRect(box.item(1)).left());
            box.setCurrentRow(0);
            QTest::mouseClick(windows.form2->Button1, Qt::LeftButton);
        });
    EXPECT_EQ(FileBytes(paths.friends).substr(0, 7), "Nom41\r\n")
        << "saved in the box's order, first removed";
    WhileModal(
        windows.form5.get(), [&] { windows.form5->Execute(); },
        [&] {
            QListWidget& box = *windows.form5->ListBox1;
            EXPECT_EQ(box.item(1)->text(), "Nom99") << "file order";
            EXPECT_TRUE(box.verticalScrollBar()->isVisible());
            EXPECT_FALSE(box.horizontalScrollBar()->isVisible());
        });
}

// Qt's own dialogs (print, open, save) in the windows' language, not Qt's
// English: the texts a user meets in them.
struct QtOwnText {
    const char* name;
    const char* context;
    const char* english;
    const char* french;
};
const QtOwnText kQtOwnTexts[] = {
    {"file dialog folder", "QFileDialog", "Look in:", "Voir dans :"},
    {"print dialog title", "QPrintDialog", "Print", "Imprimer"},
};

TEST(QtOwnDialogs, SpeakTheWindowsLanguage) {
    for (const QtOwnText& text : kQtOwnTexts)
        EXPECT_EQ(QCoreApplication::translate(text.context, text.english), QString::fromUtf8(text.french))
            << text.name;
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove('&'), "Annuler");
}

}  // namespace
