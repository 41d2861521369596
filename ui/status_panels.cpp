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
    Panel(panel)->setText(toQt(text));
    // The status texts come during network waits: show them now.
    Panel(panel)->repaint();
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
}
