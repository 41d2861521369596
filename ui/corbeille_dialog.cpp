#include "ui/corbeille_dialog.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/corbeille_texts.h"
#include "platform/text.h"
#include "ui/preview_memo.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_text.h"

namespace {
QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())); }

QPushButton* Button(std::string_view text, const QString& description, QWidget* parent) {
    auto* button = new QPushButton(Text(text), parent);
    button->setAccessibleName(Text(text));
    button->setAccessibleDescription(description);
    button->setAutoDefault(false);
    return button;
}
}  // namespace

CorbeilleWindow::CorbeilleWindow(const std::filesystem::path& corbeille,
                                 const std::filesystem::path& settings, QtDialogs& dialogs, Shell& shell,
                                 const std::unique_ptr<Printer>& printer, QWidget* parent)
    : DocumentDialog(parent),
      List(new QTableWidget(0, 5, this)),
      SaveButton(Button(corbeille_texts::kSaveAs,
                        QStringLiteral("Enregistre le message choisi dans un fichier"), this)),
      OpenButton(Button(corbeille_texts::kOpen,
                        QStringLiteral("Ouvre le message choisi dans le logiciel de courrier"), this)),
      PreviewButton(
          Button(corbeille_texts::kPreview, QStringLiteral("Affiche le message choisi ci-dessous"), this)),
      PrintButton(
          Button(corbeille_texts::kPrint, QStringLiteral("Imprime le message affiché ci-dessous"), this)),
      EmptyButton(Button(corbeille_texts::kEmpty,
                         QStringLiteral("Retire toutes les copies, après une question"), this)),
      Pane(new PreviewMemo(this)),
      logic_(std::make_unique<CorbeilleDialog>(corbeille, settings, *this, dialogs, shell)) {
    setWindowTitle(Text(corbeille_texts::kDialogTitle));
    QStringList headings;
    for (std::string_view heading : corbeille_texts::kHeadings) headings << Text(heading);
    List->setHorizontalHeaderLabels(headings);
    List->setAccessibleName(Text(corbeille_texts::kDialogTitle));
    List->setAccessibleDescription(
        QStringLiteral("Les messages détruits gardés, du plus récent au plus ancien"));
    Pane->setAccessibleName(QStringLiteral("Aperçu"));
    Pane->setAccessibleDescription(QStringLiteral("Le message choisi, tel qu'il a été reçu"));
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->verticalHeader()->hide();
    const QFontMetrics metrics(font());
    List->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00:00  ")));
    List->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {SaveButton, OpenButton, PreviewButton, PrintButton, EmptyButton})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List, 2);
    layout->addLayout(buttons);
    layout->addWidget(Pane, 1);
    resize(metrics.horizontalAdvance(QLatin1Char('x')) * 110, metrics.height() * 36);
    chooseFile = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, Text(corbeille_texts::kSaveAs), suggested,
                                            QStringLiteral("Message (*.eml)"));
    };
    connect(SaveButton, &QPushButton::clicked, this, [this] { logic_->SaveAs(); });
    connect(OpenButton, &QPushButton::clicked, this, [this] { logic_->Open(); });
    connect(PreviewButton, &QPushButton::clicked, this, [this] { logic_->Preview(); });
    connect(PrintButton, &QPushButton::clicked, this, [this, &printer] { logic_->Print(*printer); });
    connect(EmptyButton, &QPushButton::clicked, this, [this] { logic_->Empty(); });
}

CorbeilleWindow::~CorbeilleWindow() = default;

void CorbeilleWindow::SetRows(const std::vector<CorbeilleRow>& rows) {
    List->clearContents();
    List->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < 5; ++c)
            List->setItem(
                r, c,
                new QTableWidgetItem(toQt(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])));
}

int CorbeilleWindow::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = List->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

std::filesystem::path CorbeilleWindow::ChooseSaveFile(const std::filesystem::path& suggested) {
    const QString chosen = chooseFile(QString::fromStdString(suggested.string()));
    return chosen.isEmpty() ? std::filesystem::path() : std::filesystem::path(chosen.toStdString());
}

PreviewPane& CorbeilleWindow::Preview() { return *Pane; }

void CorbeilleWindow::showEvent(QShowEvent* event) {
    DocumentDialog::showEvent(event);
    if (!event->spontaneous()) logic_->Show();
}
