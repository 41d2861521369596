#pragma once
// The status bar: panel 0 (200 pixels) the connection status, panel 1 the
// rest of the bar, the message count.
#include <QWidget>

#include "app/window.h"

class QLabel;

class StatusBarPanels : public QWidget, public StatusPanels {
    Q_OBJECT
public:
    explicit StatusBarPanels(QWidget* parent);
    void SetPanelText(int panel, std::string_view text) override;
    QLabel* Panel(int panel) const { return panels_[panel == 0 ? 0 : 1]; }

    static constexpr int kFirstPanelWidth = 200;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* panels_[2];
};
