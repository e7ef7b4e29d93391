#pragma once

#include <functional>
#include <map>

class QAction;
class QMainWindow;

namespace kestra {

// Builds the menu bar (menu 109) and its shortcuts on `window`. Every item's action carries its
// command ID as objectName and reports it to `dispatch`. Returns the actions by command ID.
std::map<int, QAction*> createMainMenu(QMainWindow* window, std::function<void(int)> dispatch);

} // namespace kestra
