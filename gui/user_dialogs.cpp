#include "user_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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

QString askSavePath(QWidget* owner, const QString& currentPath) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QString::fromUtf8(texts::fileFilters).split(QStringLiteral(";;")));
    dialog.selectFile(currentPath);
    // Asking before overwriting is the dialog's default.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void showError(QWidget* owner, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace

UserDialogs standardUserDialogs() {
    return {askOpenPath, askSavePath, showError};
}

} // namespace kestra
