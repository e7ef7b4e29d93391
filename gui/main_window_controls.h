#pragma once

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QWidget;

namespace kestra {

struct WindowState;
class ReportList;
struct TextRoom;
struct WindowLayout;

// The child controls of the main window, each named by its ID.
struct MainWindowControls {
    ReportList* itemList = nullptr;
    ReportList* propertyList = nullptr;
    QPushButton* copyItemButton = nullptr;
    QPushButton* applyButton = nullptr;
    QPushButton* deleteItemButton = nullptr;
    QPushButton* newItemButton = nullptr;
    QLineEdit* valueEdit = nullptr;
    QLineEdit* typeLabel = nullptr;
    QLineEdit* typeField = nullptr;
    QStatusBar* statusBar = nullptr;
    std::array<QLabel*, 4> statusParts{};
};

// Creates the controls in the client area, in creation (and so stacking and tab) order, with
// their IDs, texts and initial states. The lists read their rows from `state`.
MainWindowControls createMainWindowControls(QWidget* client, const WindowState& state);

// The room the edit panel's texts need in the controls' own font.
TextRoom textRoomOf(const MainWindowControls& controls);

// Moves and sizes every control to `layout`. Negative sizes become 0; the status bar keeps its
// bottom edge and grows to a height its text can be read in.
void placeMainWindowControls(const MainWindowControls& controls, const WindowLayout& layout);

} // namespace kestra
