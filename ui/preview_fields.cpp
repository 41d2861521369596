#include "ui/preview_fields.h"

#include <QLabel>
#include <QLineEdit>

#include "app/scan_cells.h"
#include "ui/qt_text.h"

namespace {

QLineEdit* MakeField(QWidget* parent, QLabel* label, const QString& description) {
    auto* field = new QLineEdit(parent);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::TabFocus);
    field->setAccessibleDescription(description);
    label->setBuddy(field);
    return field;
}

}  // namespace

PreviewFields::PreviewFields(QWidget* parent)
    : QWidget(parent),
      SubjectLabel(new QLabel(QStringLiteral("S&ujet :"), this)),
      DateLabel(new QLabel(QStringLiteral("Da&te :"), this)),
      SenderLabel(new QLabel(QStringLiteral("E&xpéditeur :"), this)),
      Subject(MakeField(this, SubjectLabel, QStringLiteral("Sujet du message affiché dessous"))),
      Date(MakeField(this, DateLabel, QStringLiteral("Date et heure du message affiché dessous"))),
      Sender(MakeField(this, SenderLabel, QStringLiteral("Expéditeur du message affiché dessous"))) {
    setTabOrder(Subject, Date);
    setTabOrder(Date, Sender);
}

void PreviewFields::Show(const ScanRow* row) {
    const GridRow cells = row ? GridCells(*row) : GridRow{};
    Subject->setText(toQt(cells[3]));
    Date->setText(toQt(cells[1]));
    Sender->setText(row ? toQt(PreviewSender(*row)) : QString());
    for (QLineEdit* field : {Subject, Date, Sender}) field->setCursorPosition(0);
}

int PreviewFields::Height() const { return 2 * (fontMetrics().height() + 8) + 4; }

void PreviewFields::resizeEvent(QResizeEvent*) {
    // Subject on the first line, date and sender side by side on the second.
    const int line = fontMetrics().height() + 8;
    const int labels = std::max(SubjectLabel->sizeHint().width(), DateLabel->sizeHint().width());
    SubjectLabel->setGeometry(0, 0, labels, line);
    Subject->setGeometry(labels + 4, 0, width() - labels - 4, line);
    DateLabel->setGeometry(0, line + 4, labels, line);
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00 à 00:00")) + 16;
    Date->setGeometry(labels + 4, line + 4, dateWidth, line);
    const int senderLeft = labels + 4 + dateWidth + 8;
    SenderLabel->setGeometry(senderLeft, line + 4, SenderLabel->sizeHint().width(), line);
    const int senderField = senderLeft + SenderLabel->sizeHint().width() + 4;
    Sender->setGeometry(senderField, line + 4, std::max(0, width() - senderField), line);
}
