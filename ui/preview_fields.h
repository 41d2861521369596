#pragma once
// The previewed message's subject, date and sender as labelled read-only
// fields above the preview pane.
#include <QWidget>

#include "app/scan_record.h"

class QLabel;
class QLineEdit;

class PreviewFields : public QWidget {
    Q_OBJECT
public:
    explicit PreviewFields(QWidget* parent);
    // The row's fields; empty ones for nullptr.
    void Show(const ScanRow* row);
    // Its height for the font in use.
    int Height() const;

    QLabel *SubjectLabel, *DateLabel, *SenderLabel;
    QLineEdit *Subject, *Date, *Sender;

protected:
    void resizeEvent(QResizeEvent* event) override;
};
