#include "main_window.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

#include <QMoveEvent>
#include <algorithm>

#include "control_ids.h"
#include "enter_key_filter.h"
#include "failure_reasons.h"
#include "main_menu.h"
#include "names/documentation_search.h"
#include "qt_text.h"
#include "report_list.h"
#include "window/window_layout.h"
#include "window_texts.h"

namespace kestra {

namespace {

// The one local file a drop carries, or empty: several files at once are not taken.
QString droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
}

} // namespace

MainWindow::MainWindow(UserDialogs dialogs, const std::vector<std::string>& documentationPlaces,
                       QWidget* parent)
    : QMainWindow(parent), dialogs_(std::move(dialogs)) {
    setObjectName(QString::fromUtf8(texts::windowClassName));
    setWindowTitle(QString::fromUtf8(texts::appTitle));
    setWindowIcon(QIcon(QStringLiteral(":/kestra.png")));

    auto* client = new QWidget(this);
    setCentralWidget(client);
    controls_ = createMainWindowControls(client, state_);
    client->installEventFilter(this);

    DocumentationSearch search = searchDocumentation(documentationPlaces);
    state_.documentation = std::move(search.table);
    if (!state_.documentation.loaded) {
        dialogs_.showError(this, QString::fromUtf8(texts::documentationMissing),
                           QString::fromUtf8(texts::errorCaption),
                           documentationSearchReason(search.tried));
    }

    actions_ = createMainMenu(this, [this](int id) { dispatch(id); });
    recentFiles_ = new RecentFilesMenu([this](const QString& path) { openPath(path); }, this);
    // In the File menu, right under Open.
    QMenu* fileMenu = menuBar()->actions().constFirst()->menu();
    fileMenu->insertMenu(actions_.at(saveCommandId), recentFiles_);
    setAcceptDrops(true);
    const std::pair<QPushButton*, int> buttons[] = {
        {controls_.copyItemButton, copyItemButtonId},
        {controls_.applyButton, applyButtonId},
        {controls_.deleteItemButton, deleteItemButtonId},
        {controls_.newItemButton, newItemButtonId}};
    for (const auto& [button, id] : buttons)
        connect(button, &QPushButton::clicked, this, [this, id = id] { dispatch(id); });
    connectLists();
    const QSize available = screen()->availableSize();
    const WindowSize start = initialWindowSize({available.width(), available.height()});
    resize(start.width, start.height);
}

// The lists read their rows from the state until they are gone, so they go before it does.
MainWindow::~MainWindow() {
    delete takeCentralWidget();
}

void MainWindow::dispatch(int commandId) {
    switch (commandId) {
    case openCommandId:
        openFile();
        break;
    case saveCommandId:
        saveFile();
        break;
    case saveAsCommandId:
        saveFileAs();
        break;
    case searchCommandId:
        runSearchCommand();
        break;
    case aboutCommandId:
        showAbout();
        break;
    case exitCommandId:
        close();
        break;
    case copyItemButtonId:
        copyItem();
        break;
    case applyButtonId:
        applyEdit();
        break;
    case deleteItemButtonId:
        deleteItem();
        break;
    case newItemButtonId:
        newItem();
        break;
    default:
        break;
    }
}

void MainWindow::connectLists() {
    connect(controls_.itemList, &ReportList::rowDoubleClicked, this, &MainWindow::chooseItem);
    connect(controls_.propertyList, &ReportList::rowDoubleClicked, this,
            &MainWindow::choosePropertyForEdit);

    auto* itemEnter = new EnterKeyFilter(0, controls_.itemList);
    controls_.itemList->installEventFilter(itemEnter);
    connect(itemEnter, &EnterKeyFilter::enterPressed, this, &MainWindow::enterOnItemList);

    auto* propertyEnter = new EnterKeyFilter(0, controls_.propertyList);
    controls_.propertyList->installEventFilter(propertyEnter);
    connect(propertyEnter, &EnterKeyFilter::enterPressed, this,
            [this] { choosePropertyForEdit(controls_.propertyList->selectionMark()); });
}

// A file dropped anywhere on the window opens as File > Open would.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openPath(path);
}

// The window manager's frame is known only once it has framed the window, which moves it.
void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (framePending_)
        keepFrameOnScreen();
}

// A window whose first frame would reach past the screen's available area (at a large scale
// factor, say) shrinks and moves into it.
void MainWindow::keepFrameOnScreen() {
    const QRect available = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    if (frame == geometry())
        return;
    framePending_ = false;
    if (available.contains(frame))
        return;
    const QSize excess(std::max(frame.width() - available.width(), 0),
                       std::max(frame.height() - available.height(), 0));
    resize(size() - excess);
    const QSize fitted = frame.size() - excess;
    move(std::clamp(frame.left(), available.left(), available.right() + 1 - fitted.width()),
         std::clamp(frame.top(), available.top(), available.bottom() + 1 - fitted.height()));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        layOut();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::layOut() {
    const QSize client = centralWidget()->size();
    placeMainWindowControls(controls_, fitTexts(layOutWindow(client.width(), client.height()),
                                                textRoomOf(controls_), client.width()));
}

void MainWindow::resetEditPanel() {
    controls_.valueEdit->setEnabled(false);
    controls_.valueEdit->clear();
    state_.selectedProperty = -1;
    controls_.applyButton->setEnabled(false);
}

void MainWindow::updateStatusBar() {
    const auto parts = statusBarTexts(state_.document.header);
    for (std::size_t part = 0; part < parts.size(); ++part)
        controls_.statusParts[part]->setText(toQString(parts[part]));
}

void MainWindow::enableCommand(int commandId) {
    if (const auto action = actions_.find(commandId); action != actions_.end())
        action->second->setEnabled(true);
}

} // namespace kestra
