#pragma once
// The status bar: panel 0 (200 pixels) the connection status, panel 1 the
// rest of the bar, the message count. During a scan a progress bar stands
// between the two.
#include <QWidget>

#include "app/window.h"

class QLabel;
class QProgressBar;

class StatusBarPanels : public QWidget, public StatusPanels {
    Q_OBJECT
public:
    explicit StatusBarPanels(QWidget* parent);
    void SetPanelText(int panel, std::string_view text) override;
    void SetProgress(int done, int total) override;
    QLabel* Panel(int panel) const { return panels_[panel == 0 ? 0 : 1]; }
    // The whole text of a panel, which shows it cut with "…" when it is
    // wider, the whole of it in its tooltip.
    const QString& Text(int panel) const { return texts_[panel == 0 ? 0 : 1]; }
    QProgressBar* Progress() const { return progress_; }

    static constexpr int kFirstPanelWidth = 200;
    static constexpr int kProgressWidth = 160;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();
    void Fit(int panel);
    QLabel* panels_[2];
    QString texts_[2];
    QProgressBar* progress_;
};
