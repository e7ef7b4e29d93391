#include "main_window.h"

#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

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
    settleBeforeSessionEnds();
    setUpJournal();
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
    case undoCommandId:
        undoEdit();
        break;
    case redoCommandId:
        redoEdit();
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

void MainWindow::enableCommand(int commandId, bool enabled) {
    if (const auto action = actions_.find(commandId); action != actions_.end())
        action->second->setEnabled(enabled);
}

} // namespace kestra
