#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "user_dialogs.h"

namespace kestra::testing {
namespace {

// The platform's save dialog, answered as a user would: first a name in a missing folder, then
// one in an existing folder.
TEST(UserDialogs, TheSaveDialogTakesOnlyAPathWhoseFolderExists) {
    TempDir folder;
    const QString missing = QString::fromStdString(folder.file("missing/birds.table"));
    const QString existing = QString::fromStdString(folder.file("birds.table"));
    QStringList messages;
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->accept();
            }
        });
        dialog->selectFile(missing);
        QMetaObject::invokeMethod(dialog, "accept");
        stayedOpen = dialog->isVisible();
        dialog->selectFile(existing);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    EXPECT_EQ(standardUserDialogs().askSavePath(nullptr, existing), existing);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromStdString(folder.file("missing"))));
}

} // namespace
} // namespace kestra::testing
