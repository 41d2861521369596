#pragma once
// The "Corbeille" window: the kept messages in a table, newest first, four
// buttons and a preview pane. Not modal: the main window stays usable.
#include <QString>
#include <functional>
#include <memory>

#include "app/corbeille_dialog.h"
#include "ui/document_dialog.h"

class QPushButton;
class QTableWidget;
class PreviewMemo;
class QtDialogs;

class CorbeilleWindow : public DocumentDialog, public CorbeilleView {
    Q_OBJECT
public:
    // `printer` is the main window's, whichever it holds when "Imprimer" is pressed.
    CorbeilleWindow(const std::filesystem::path& corbeille, const std::filesystem::path& settings,
                    QtDialogs& dialogs, Shell& shell, const std::unique_ptr<Printer>& printer,
                    QWidget* parent);
    ~CorbeilleWindow() override;

    void SetRows(const std::vector<CorbeilleRow>& rows) override;
    int SelectedRow() const override;
    std::filesystem::path ChooseSaveFile(const std::filesystem::path& suggested) override;
    PreviewPane& Preview() override;
    CorbeilleDialog& Logic() { return *logic_; }

    // The file chooser; tests answer it in advance.
    std::function<QString(const QString& suggested)> chooseFile;

    QTableWidget* List;
    QPushButton *SaveButton, *OpenButton, *PreviewButton, *PrintButton, *EmptyButton;
    PreviewMemo* Pane;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<CorbeilleDialog> logic_;
};
