#include "recent_files_menu.h"

#include <QFileInfo>
#include <QSettings>

#include <vector>

#include "window/recent_files.h"
#include "window_texts.h"

namespace kestra {

namespace {

const QString recentFilesKey = QStringLiteral("recentFiles");

QSettings userSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("kestra"),
                     QStringLiteral("kestra"));
}

std::vector<std::string> storedFiles() {
    std::vector<std::string> files;
    for (const QString& path : userSettings().value(recentFilesKey).toStringList())
        files.push_back(path.toStdString());
    return files;
}

void storeFiles(const std::vector<std::string>& files) {
    QStringList paths;
    for (const std::string& path : files)
        paths << QString::fromStdString(path);
    userSettings().setValue(recentFilesKey, paths);
}

// "&1 /path" to "&9 ..." and "1&0 ...", with the path's own ampersands shown as they are.
QString entryText(std::size_t position, const std::string& path) {
    const QString number =
        position < 9 ? QStringLiteral("&%1").arg(position + 1) : QStringLiteral("1&0");
    return number + QLatin1Char(' ') +
           QString::fromStdString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

RecentFilesMenu::RecentFilesMenu(std::function<void(const QString&)> open, QWidget* parent)
    : QMenu(QString::fromUtf8(texts::openRecentMenu), parent), open_(std::move(open)) {
    // Built when shown, so that it follows other windows' changes and files that went.
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::rebuild);
    rebuild();
}

// Storing the settings flushes them to disk twice: a Save of the file already first in the list,
// the most common one, leaves them alone.
void RecentFilesMenu::remember(const std::string& path) {
    const std::vector<std::string> stored = storedFiles();
    std::vector<std::string> files = stored;
    rememberRecentFile(files, path);
    if (files != stored)
        storeFiles(files);
}

void RecentFilesMenu::rebuild() {
    clear();
    const std::vector<std::string> files = storedFiles();
    for (std::size_t position = 0; position < files.size(); ++position) {
        const QString path = QString::fromStdString(files[position]);
        QAction* entry = addAction(entryText(position, files[position]));
        entry->setEnabled(QFileInfo::exists(path));
        // Queued: opening ends with the list changed, and the menu must not rebuild itself
        // while one of its entries is still being triggered.
        connect(
            entry, &QAction::triggered, this, [this, path] { open_(path); }, Qt::QueuedConnection);
    }
    addSeparator();
    QAction* clearEntry = addAction(QString::fromUtf8(texts::clearRecentItem));
    clearEntry->setEnabled(!files.empty());
    connect(clearEntry, &QAction::triggered, this, [] { storeFiles({}); });
}

} // namespace kestra
