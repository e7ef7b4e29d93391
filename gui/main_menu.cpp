#include "main_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <vector>

#include "control_ids.h"
#include "window_texts.h"

namespace kestra {

namespace {

struct MenuEntry {
    const char* popup;
    const char* text; // nullptr for a separator
    int commandId;
    bool enabled;
    QList<QKeySequence> shortcuts;
};

// Menu 109 with the accelerators of table 109 on its items. A shortcut of a disabled item is
// inert, as its item is.
const std::vector<MenuEntry>& menuEntries() {
    static const std::vector<MenuEntry> entries = {
        {texts::fileMenu,
         texts::openItem,
         openCommandId,
         true,
         {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {texts::fileMenu,
         texts::saveItem,
         saveCommandId,
         false,
         {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {texts::fileMenu,
         texts::saveAsItem,
         saveAsCommandId,
         false,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}},
        {texts::fileMenu, nullptr, 0, true, {}},
        {texts::fileMenu, texts::exitItem, exitCommandId, true, {}},
        {texts::editMenu,
         texts::undoItem,
         undoCommandId,
         false,
         {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
        {texts::editMenu,
         texts::redoItem,
         redoCommandId,
         false,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}},
        {texts::editMenu, nullptr, 0, true, {}},
        {texts::editMenu,
         texts::searchItem,
         searchCommandId,
         false,
         {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {texts::helpMenu,
         texts::aboutItem,
         aboutCommandId,
         true,
         {QKeySequence(Qt::Key_F1), QKeySequence(Qt::ALT | Qt::Key_Slash),
          QKeySequence(Qt::ALT | Qt::Key_Question)}},
    };
    return entries;
}

} // namespace

std::map<int, QAction*> createMainMenu(QMainWindow* window, std::function<void(int)> dispatch) {
    std::map<int, QAction*> actions;
    std::map<const char*, QMenu*> popups;
    for (const MenuEntry& entry : menuEntries()) {
        QMenu*& popup = popups[entry.popup];
        if (!popup)
            popup = window->menuBar()->addMenu(QString::fromUtf8(entry.popup));
        if (!entry.text) {
            popup->addSeparator();
            continue;
        }
        QAction* action = popup->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QString::number(entry.commandId));
        action->setEnabled(entry.enabled);
        action->setShortcuts(entry.shortcuts);
        action->setShortcutContext(Qt::WindowShortcut);
        const int id = entry.commandId;
        QObject::connect(action, &QAction::triggered, window, [dispatch, id] { dispatch(id); });
        actions[id] = action;
    }
    return actions;
}

} // namespace kestra
