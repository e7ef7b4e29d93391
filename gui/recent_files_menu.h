#pragma once

#include <QMenu>

#include <functional>
#include <string>

namespace kestra {

// File > Open Recent: the files last opened or saved, newest first, kept in the user's settings
// between runs. A file that no longer exists is shown disabled; "Clear" empties the list.
class RecentFilesMenu final : public QMenu {
    Q_OBJECT
public:
    RecentFilesMenu(std::function<void(const QString& path)> open, QWidget* parent);

    // Puts `path` first in the list; the menu shows it the next time it opens.
    void remember(const std::string& path);

private:
    void rebuild();

    std::function<void(const QString&)> open_;
};

} // namespace kestra
