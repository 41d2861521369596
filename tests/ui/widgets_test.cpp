// The gradient panel, the spin edit and the message boxes on their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "box_recorder.h"
#include "ui/gradient_panel.h"
#include "ui/spin_buttons.h"
#include "ui/spin_edit.h"

namespace {

QImage Paint(QWidget& widget) { return widget.grab().toImage(); }

// Colour of a pixel column (the gradient is the same all the way down).
QColor Column(const QImage& image, int x) { return image.pixelColor(x, image.height() / 2); }

struct GradientCase {
    const char* name;
    int width;
    QColor start, end;
};

TEST(DegradClass, EqualColoursPaintOneFlatColour) {
    QWidget parent;
    parent.resize(113, 40);
    TDegradClass gradient(&parent);
    gradient.SetStartColor(PanelColour::Fixed(QColor(10, 200, 30)));
    gradient.SetEndColor(PanelColour::Fixed(QColor(10, 200, 30)));
    QImage image = Paint(gradient);
    ASSERT_EQ(image.width(), 113) << "fills its parent";
    for (int x = 0; x < image.width(); ++x) EXPECT_EQ(Column(image, x), QColor(10, 200, 30)) << x;
}

TEST(DegradClass, OneColumnPerBandAt256Pixels) {
    QWidget parent;
    parent.resize(256, 10);
    TDegradClass gradient(&parent);  // blue to red by default
    QImage image = Paint(gradient);
    for (int x = 0; x < 256; ++x) EXPECT_EQ(Column(image, x), QColor(x, 0, 255 - x)) << x;
    parent.resize(512, 10);
    QImage wide = Paint(gradient);
    ASSERT_EQ(wide.width(), 512) << "follows its parent's size";
    EXPECT_EQ(Column(wide, 20), QColor(10, 0, 245));
    EXPECT_EQ(Column(wide, 21), QColor(10, 0, 245));
}

TEST(DegradClass, SidePanelBlueToButtonFaceReadAtEachPaint) {
    QWidget parent;
    parent.resize(113, 521);
    TDegradClass gradient(&parent);
    gradient.SetStartColor(PanelColour::Fixed(Qt::blue));
    gradient.SetEndColor(PanelColour::System(QPalette::Button));
    QPalette palette = gradient.palette();
    palette.setColor(QPalette::Button, QColor(212, 208, 200));
    gradient.setPalette(palette);
    // At 113 pixels bands 0 and 255 have no width: the edge columns show
    // bands 1 and 254, one step from the two colours.
    QImage image = Paint(gradient);
    EXPECT_EQ(Column(image, 0), QColor(1, 1, 255));
    EXPECT_EQ(Column(image, 112), QColor(211, 207, 200));
    palette.setColor(QPalette::Button, QColor(40, 90, 60));
    gradient.setPalette(palette);
    EXPECT_EQ(Column(Paint(gradient), 112), QColor(40, 90, 61)) << "the new face colour at the next paint";
}

// A spin edit with the selector's settings, and what it fired.
struct SpinFixture : testing::Test {
    SpinFixture() {
        window.resize(200, 100);
        spin = new TRxSpinEdit(&window);
        spin->setGeometry(24, 37, 49, 28);
        other = new QLineEdit(&window);
        other->setGeometry(100, 37, 60, 22);
        spin->SetRange(0, 10);
        spin->SetValue(1);
        spin->beep = [this] { ++beeps; };
        QObject::connect(spin, &TRxSpinEdit::topClick, [this] { fired += "top "; });
        QObject::connect(spin, &TRxSpinEdit::bottomClick, [this] { fired += "bottom "; });
        QObject::connect(spin, &QLineEdit::textChanged, [this] { ++changes; });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        spin->setFocus();
    }
    void Type(const char* keys) { QTest::keyClicks(spin, keys); }

    QWidget window;
    TRxSpinEdit* spin;
    QLineEdit* other;
    std::string fired;
    int beeps = 0;
    int changes = 0;
};

TEST_F(SpinFixture, StepsAtTheLimitsStayAndStillFire) {
    spin->SetValue(10);
    changes = 0;
    QTest::mouseClick(spin->UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "10");
    EXPECT_EQ(fired, "top ");
    EXPECT_EQ(changes, 0) << "no change notification when the text stays";
    spin->SetValue(0);
    changes = 0;
    QTest::mouseClick(spin->UpDown()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "0");
    EXPECT_EQ(fired, "top bottom ");
    QTest::mouseClick(spin->UpDown()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(spin->text(), "1");
    EXPECT_TRUE(spin->isModified());
    EXPECT_EQ(changes, 1);
}

TEST_F(SpinFixture, TypedValueClampedByArrowOrFocusLeaving) {
    spin->selectAll();
    Type("15");
    EXPECT_EQ(spin->Value(), 15) << "reading does not clamp";
    EXPECT_EQ(fired, "") << "typing fires nothing";
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(spin->text(), "10");
    EXPECT_EQ(fired, "top ");
    spin->selectAll();
    Type("15");
    other->setFocus();
    EXPECT_EQ(spin->text(), "10") << "clamped when the focus leaves";
    spin->setFocus();
    spin->selectAll();
    Type("-");
    EXPECT_EQ(spin->text(), "-");
    EXPECT_EQ(spin->Value(), 0) << "reads as the minimum";
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(spin->text(), "0");
}

TEST_F(SpinFixture, LettersBeepAndChangeNothing) {
    spin->selectAll();
    Type("7");
    Type("a");
    Type(" .");
    EXPECT_EQ(spin->text(), "7");
    EXPECT_EQ(beeps, 3);
    QTest::keyClick(spin, Qt::Key_Backspace);
    EXPECT_EQ(spin->text(), "") << "control characters pass";
    spin->EditorEnabled = false;
    Type("5");
    EXPECT_EQ(spin->text(), "");
    EXPECT_EQ(beeps, 3) << "a disabled editor drops silently";
}

TEST_F(SpinFixture, PasteOnlyWhileEditable) {
    QApplication::clipboard()->setText("4x");
    spin->selectAll();
    QTest::keySequence(spin, QKeySequence::Paste);
    EXPECT_EQ(spin->text(), "4x") << "pasted text is not filtered";
    spin->selectAll();
    spin->setReadOnly(true);
    QTest::keySequence(spin, QKeySequence::Paste);
    EXPECT_EQ(spin->text(), "4x");
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(beeps, 1) << "a read-only box beeps on a step";
    EXPECT_EQ(fired, "");
}

TEST_F(SpinFixture, EntrySelectsAllExceptFromTheMouse) {
    other->setFocus();
    spin->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(spin->selectedText(), "1");
    other->setFocus();
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_TRUE(spin->hasFocus());
    EXPECT_EQ(spin->selectedText(), "");
}

TEST(SpinUpDown, NarrowAtTheRightEdge) {
    QWidget window;
    TRxSpinEdit spin(&window);
    spin.setGeometry(0, 0, 49, 28);
    window.show();
    QRect buttons = spin.UpDown()->geometry();
    EXPECT_LE(buttons.width(), 15);
    EXPECT_EQ(buttons.right(), 48);
    EXPECT_EQ(buttons.height(), 28);
    EXPECT_EQ(spin.textMargins().right(), buttons.width());
}

TEST(QtDialogs, BoxesCarryTheirCaptionsIconsAndButtons) {
    QtDialogs dialogs;
    BoxRecorder boxes(dialogs);
    boxes.answers = {"&Oui", "&Non", "OK"};
    EXPECT_TRUE(dialogs.Confirm("Voulez-vous ?", {}));
    EXPECT_FALSE(dialogs.Confirm("Encore ?", {}));
    boxes.answers.clear();
    EXPECT_FALSE(dialogs.Confirm("Fermé ?", {})) << "closing the question is \"&Non\"";
    dialogs.Error("Impossible de se connecter au serveur", "Serveur injoignable");
    dialogs.Message("Remplir");
    dialogs.StandardError(
        "Impossible d'é"
        "crire dans /x");
    dialogs.StandardError("Déjà fini.");
    boxes.answers = {BoxRecorder::kEnter};
    EXPECT_FALSE(dialogs.Confirm("Détruire ?", {"Spam : Promo", "Zoé : Re"})) << "Enter is \"&Non\"";
    ASSERT_EQ(boxes.shown.size(), 8u);
    EXPECT_EQ(boxes.shown[0].caption, "Confirmation");
    EXPECT_EQ(boxes.shown[0].icon, QMessageBox::Question);
    EXPECT_EQ(boxes.shown[0].buttons, (std::vector<std::string>{"&Oui", "&Non"}));
    EXPECT_EQ(boxes.shown[3].Summary(), "Erreur|Impossible de se connecter au serveur");
    EXPECT_EQ(boxes.shown[3].details, "Serveur injoignable");
    EXPECT_EQ(boxes.shown[3].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.shown[3].buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(boxes.shown[7].listed, "Spam : Promo\nZoé : Re");
    EXPECT_EQ(boxes.shown[4].Summary(), "Vannoir|Remplir");
    EXPECT_EQ(boxes.shown[5].Summary(), "Vannoir|Impossible d'écrire dans /x.");
    EXPECT_EQ(boxes.shown[5].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.shown[6].text, "Déjà fini.") << "no second full stop";
}

}  // namespace
