#include "ui/status_panels.h"

#include <QLabel>

#include "ui/qt_text.h"

StatusBarPanels::StatusBarPanels(QWidget* parent) : QWidget(parent) {
    for (QLabel*& panel : panels_) {
        panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
    }
}

void StatusBarPanels::SetPanelText(int panel, std::string_view text) {
    Panel(panel)->setText(toQt(text));
    // The status texts come during network waits: show them now.
    Panel(panel)->repaint();
}

void StatusBarPanels::resizeEvent(QResizeEvent*) {
    panels_[0]->setGeometry(0, 2, kFirstPanelWidth, height() - 2);
    panels_[1]->setGeometry(kFirstPanelWidth + 2, 2, std::max(0, width() - kFirstPanelWidth - 2),
                            height() - 2);
}
