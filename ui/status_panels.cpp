#include "ui/status_panels.h"

#include <QLabel>
#include <QProgressBar>

#include "ui/qt_text.h"

StatusBarPanels::StatusBarPanels(QWidget* parent) : QWidget(parent) {
    for (QLabel*& panel : panels_) {
        panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
    }
    progress_ = new QProgressBar(this);
    progress_->setTextVisible(false);
    progress_->setAccessibleName(QStringLiteral("Progression"));
    progress_->hide();
}

void StatusBarPanels::SetProgress(int done, int total) {
    const bool shown = total > 0;
    if (shown) {
        progress_->setRange(0, total);
        progress_->setValue(done);
    }
    if (shown == progress_->isHidden()) {
        progress_->setVisible(shown);
        LayOut();
    }
    if (shown) progress_->repaint();
}

void StatusBarPanels::SetPanelText(int panel, std::string_view text) {
    texts_[panel == 0 ? 0 : 1] = toQt(text);
    Fit(panel);
    // The status texts come during network waits: show them now.
    Panel(panel)->repaint();
}

void StatusBarPanels::Fit(int panel) {
    QLabel* label = Panel(panel);
    const QString& whole = Text(panel);
    const int room = label->contentsRect().width() - 2 * label->indent();
    const QString shown = label->fontMetrics().elidedText(whole, Qt::ElideRight, std::max(room, 0));
    label->setText(shown);
    label->setToolTip(shown == whole ? QString() : whole);
    label->setAccessibleDescription(shown == whole ? QString() : whole);
}

void StatusBarPanels::resizeEvent(QResizeEvent*) { LayOut(); }

void StatusBarPanels::LayOut() {
    panels_[0]->setGeometry(0, 2, kFirstPanelWidth, height() - 2);
    int left = kFirstPanelWidth + 2;
    if (!progress_->isHidden()) {
        progress_->setGeometry(left, 4, kProgressWidth, height() - 6);
        left += kProgressWidth + 2;
    }
    panels_[1]->setGeometry(left, 2, std::max(0, width() - left), height() - 2);
    Fit(0);
    Fit(1);
}
