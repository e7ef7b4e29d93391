#include "user_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "recovery/document_journal.h"
#include "window/save_path.h"
#include "window_texts.h"

namespace kestra {

namespace {

QString askOpenPath(QWidget* owner) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(QString::fromUtf8(texts::fileFilters).split(QStringLiteral(";;")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// A save dialog that takes only a path whose folder exists: it says so and stays open otherwise.
// (A desktop's own dialog has closed by then, and the run ends as if cancelled.)
class SaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty() && !saveFolderExists(chosen.constFirst().toStdString())) {
            QMessageBox box(QMessageBox::Warning, windowTitle(),
                            QString::fromUtf8(texts::saveFolderMissing)
                                .arg(QFileInfo(chosen.constFirst()).path()),
                            QMessageBox::Ok, this);
            box.exec();
            return;
        }
        QFileDialog::accept();
    }
};

QString askSavePath(QWidget* owner, const QString& currentPath) {
    SaveDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QString::fromUtf8(texts::fileFilters).split(QStringLiteral(";;")));
    dialog.selectFile(currentPath);
    // Asking before overwriting is the dialog's default.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void showError(QWidget* owner, const QString& text, const QString& caption, const QString& reason) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    box.setInformativeText(reason);
    box.exec();
}

// Save is the default button, Escape cancels.
UnsavedChoice askUnsavedChanges(QWidget* owner, const QString& fileName) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(texts::appTitle),
                    QString::fromUtf8(texts::unsavedChanges).arg(fileName),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, owner);
    box.setInformativeText(QString::fromUtf8(texts::unsavedChangesDetail));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedChoice::Save;
    case QMessageBox::Discard:
        return UnsavedChoice::Discard;
    default:
        return UnsavedChoice::Cancel;
    }
}

// Cancel is the default: overwriting another program's work must be chosen on purpose.
bool askSaveOverChanges(QWidget* owner, const QString& fileName) {
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(texts::appTitle),
                    QString::fromUtf8(texts::changedOnDisk).arg(fileName), QMessageBox::Cancel,
                    owner);
    box.setInformativeText(QString::fromUtf8(texts::changedOnDiskDetail));
    QPushButton* saveAnyway =
        box.addButton(QString::fromUtf8(texts::saveAnywayButton), QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return box.clickedButton() == saveAnyway;
}

// A question about kept edit steps: `keepButton`, the default, keeps them in some way, Discard
// drops them. Only Discard drops them: work is never lost by closing the box.
bool askKeepOrDiscard(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                      const QString& detail, const char* keepButton) {
    QMessageBox box(icon, QString::fromUtf8(texts::appTitle), text, QMessageBox::Discard, owner);
    box.setInformativeText(detail);
    box.setDefaultButton(box.addButton(QString::fromUtf8(keepButton), QMessageBox::AcceptRole));
    box.exec();
    return box.clickedButton() != box.button(QMessageBox::Discard);
}

bool askRecover(QWidget* owner, const QString& fileName, std::size_t steps) {
    return askKeepOrDiscard(owner, QMessageBox::Question,
                            QString::fromUtf8(texts::recoverChanges).arg(fileName),
                            QString::fromStdString(keptStepsText(steps)), texts::recoverButton);
}

bool askKeepJournalAside(QWidget* owner, const QString& fileName) {
    return askKeepOrDiscard(
        owner, QMessageBox::Warning, QString::fromUtf8(texts::journalMismatch).arg(fileName),
        QString::fromUtf8(texts::journalMismatchDetail), texts::keepAsideButton);
}

} // namespace

UserDialogs standardUserDialogs() {
    return {askOpenPath,        askSavePath, showError,          askUnsavedChanges,
            askSaveOverChanges, askRecover,  askKeepJournalAside};
}

} // namespace kestra
