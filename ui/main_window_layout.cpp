// TForm1, the main window: layout.
// Where the main window's controls go. The default layout's figures are the
// least sizes; the font in use widens or heightens what its text needs, and
// a larger window gives its extra room to the grid and the preview.
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStyle>

#include "ui/gradient_panel.h"
#include "ui/grid_table.h"
#include "ui/main_window.h"
#include "ui/preview_fields.h"
#include "ui/preview_memo.h"
#include "ui/spin_edit.h"
#include "ui/status_panels.h"

namespace {

constexpr int kMargin = 8;
constexpr QSize kLeastButton{89, 73};
constexpr int kButtonGap = 15;
constexpr int kLeastGrid = 204, kLeastMemo = 281;

struct Metrics {
    QSize button;
    int panelWidth, selectorTop, selectorHeight, buttonsTop, statusHeight;
};

Metrics Measure(const TForm1& window) {
    Metrics m{};
    int widest = 0;
    for (const QToolButton* button :
         {window.BitBtn1, window.BitBtn2, window.BitBtn3, window.BitBtn4, window.BitBtn5})
        widest = std::max(widest, button->sizeHint().width());
    const QSize hint = window.BitBtn1->sizeHint();
    m.button = {std::max({kLeastButton.width(), widest + kMargin}),
                std::max(kLeastButton.height(), hint.height() + 4)};
    m.panelWidth = std::max(113, m.button.width() + 3 * kMargin);
    m.selectorTop = 16 + window.Label2->sizeHint().height() + 4;
    m.selectorHeight = std::max(28, window.RxSpinEdit1->fontMetrics().height() + 10);
    m.buttonsTop = std::max(80, m.selectorTop + m.selectorHeight + 12);
    m.statusHeight = std::max(24, window.StatusBar1->fontMetrics().height() + 10);
    return m;
}

}  // namespace

QSize TForm1::MinimumClient() const {
    const Metrics m = Measure(*this);
    int gridWidth = StringGrid1->verticalHeader()->width() + 2 * StringGrid1->frameWidth() +
                    style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int column = 0; column < StringGrid1->columnCount(); ++column)
        gridWidth += StringGrid1->columnWidth(column);
    const int width = std::max(kClientSize.width(), m.panelWidth + 15 + gridWidth + 7);
    const int buttons = m.buttonsTop + 5 * m.button.height() + 4 * kButtonGap + kMargin;
    // The grid and the pane keep their least heights under the fields.
    const int height = std::max(
        {kClientSize.height() + PreviewFields1->Height() + 4, buttons + m.statusHeight,
         16 + kLeastGrid + 12 + PreviewFields1->Height() + 4 + kLeastMemo + kMargin + m.statusHeight});
    return {width, height};
}

void TForm1::FitToFont() {
    const QSize least = MinimumClient();
    setMinimumSize(least.width(), least.height() + menuBar()->sizeHint().height());
    Layout();
}

void TForm1::Layout() {
    const Metrics m = Measure(*this);
    const QSize client = centralWidget()->size();
    // The gradient panel runs down to the status bar whatever the height.
    Panel1->setGeometry(0, 0, m.panelWidth, client.height() - m.statusHeight - 1);
    Label2->move(24, 16);
    Label2->adjustSize();
    const int selectorWidth = std::max(
        49, RxSpinEdit1->fontMetrics().horizontalAdvance(QStringLiteral("10")) + 2 * m.selectorHeight);
    RxSpinEdit1->setGeometry(24, m.selectorTop, selectorWidth, m.selectorHeight);
    int top = m.buttonsTop;
    for (QToolButton* button : {BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5}) {
        button->setGeometry((m.panelWidth - m.button.width()) / 2, top, m.button.width(), m.button.height());
        top += m.button.height() + kButtonGap;
    }

    // Room beyond their least heights goes half to the grid, half to the pane.
    const int left = m.panelWidth + 15;
    const int width = client.width() - left - 7;
    const int free = client.height() - 16 - 12 - PreviewFields1->Height() - 4 - kMargin - m.statusHeight;
    const int gridHeight = kLeastGrid + std::max(0, free - kLeastGrid - kLeastMemo) / 2;
    StringGrid1->setGeometry(left, 16, width, gridHeight);
    const int fieldsTop = 16 + gridHeight + 12;
    PreviewFields1->setGeometry(left, fieldsTop, width, PreviewFields1->Height());
    const int memoTop = fieldsTop + PreviewFields1->Height() + 4;
    Memo1->setGeometry(left, memoTop, width, client.height() - m.statusHeight - kMargin - memoTop);
    StatusBar1->setGeometry(0, client.height() - m.statusHeight, client.width(), m.statusHeight);
}
