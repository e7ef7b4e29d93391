// kestra_window_bench FOLDER WIDE_FILE LIST_FILE...
//
// Times the editor's window, headless, from the moment a user's action ends to the first paint
// that shows its result, and prints one CSV line per figure:
//   window,FIGURE,COUNT,SECONDS
//   time,Save from the window,VALUES,SECONDS,write + fsync file,LIMIT_SECONDS
// Each LIST_FILE is opened through the Open command (its dialog answered at once). In the last,
// the first item is deleted, the deletion undone and redone, the first item copied, a new item
// added, a text applied to the first item's first linked property, every item holding a space
// found in the Search dialog, and the document saved beside the file, in the same run as writing
// and flushing as many bytes. WIDE_FILE is then opened and its first item double-clicked.
// FOLDER holds InfoFileDocumentation.dat.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "control_ids.h"
#include "format/info_format.h"
#include "limits.h"
#include "main_window.h"
#include "report_list.h"
#include "stopwatch.h"

namespace kestra {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int paintTimeoutMilliseconds = 10 * 60 * 1000;

// Notes when a watched widget has finished painting while a condition holds (the rows are in).
class PaintClock final : public QApplication {
public:
    using QApplication::QApplication;

    void watch(QObject* widget, std::function<bool()> ready) {
        watched_ = widget;
        ready_ = std::move(ready);
        painted_.reset();
    }
    const std::optional<Clock::time_point>& painted() const { return painted_; }

    bool notify(QObject* receiver, QEvent* event) override {
        const bool handled = QApplication::notify(receiver, event);
        if (receiver == watched_ && event->type() == QEvent::Paint && !painted_ && ready_())
            painted_ = Clock::now();
        return handled;
    }

private:
    QObject* watched_ = nullptr;
    std::function<bool()> ready_;
    std::optional<Clock::time_point> painted_;
};

template <typename Control> Control* control(QWidget& owner, int id) {
    auto* found = owner.findChild<Control*>(QString::number(id));
    if (!found)
        throw std::runtime_error("no control " + std::to_string(id));
    return found;
}

ReportList* list(QWidget& owner, int id) {
    return control<ReportList>(owner, id);
}

// The header of the info file at `path`.
InfoHeader headerOf(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    std::array<std::uint8_t, headerSize> bytes{};
    if (!file.read(reinterpret_cast<char*>(bytes.data()), bytes.size()))
        throw std::runtime_error("cannot read the header of " + path.toStdString());
    return decodeHeader(bytes);
}

// Seconds from `start` (set by `act`) to the end of the list's first paint once `ready` holds
// (not a paint of the rows it showed before, while the file is read). What earlier actions left
// to paint is painted first.
double secondsToPaintWhen(PaintClock& application, ReportList* target, std::function<bool()> ready,
                          const std::function<void()>& act, const Clock::time_point& start) {
    QCoreApplication::processEvents();
    application.watch(target->viewport(), std::move(ready));
    act();
    if (!QTest::qWaitFor([&] { return application.painted().has_value(); },
                         paintTimeoutMilliseconds))
        throw std::runtime_error("the list was never painted");
    return std::chrono::duration<double>(*application.painted() - start).count();
}

// The same, to the first paint that shows `rows` rows.
double secondsToFirstPaint(PaintClock& application, ReportList* target, int rows,
                           const std::function<void()>& act, const Clock::time_point& start) {
    return secondsToPaintWhen(
        application, target, [target, rows] { return target->model()->rowCount() == rows; }, act,
        start);
}

// Seconds from `act` to the end of the list's next paint, which shows its result.
double secondsToNextPaint(PaintClock& application, ReportList* target,
                          const std::function<void()>& act) {
    Clock::time_point start;
    return secondsToPaintWhen(
        application, target, [] { return true; },
        [&] {
            start = Clock::now();
            act();
        },
        start);
}

void printFigure(const char* figure, int count, double seconds) {
    std::printf("window,%s,%d,%.6g\n", figure, count, seconds);
    std::fflush(stdout);
}

// The window under measurement and its two lists.
struct Window {
    PaintClock& application;
    MainWindow& window;
    ReportList* items;
    ReportList* properties;
};

// A double-click on row 0 as the platform delivers it: press and release (`firstClick`), then
// the second press (`secondClick`).
void firstClick(ReportList* list) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
}
void secondClick(ReportList* list) {
    const QPoint firstRow = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, firstRow);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, firstRow);
}

// Delete Item of the first row, where every later row moves, then its Undo and Redo, Copy Item of
// the first row and New Item, each to the item list's first paint with the new row count.
void timeItemCommands(Window& bench) {
    const int listed = bench.items->model()->rowCount();
    const auto timeCommand = [&](const char* figure, int command, int rows) {
        bench.items->selectAndReveal(0);
        Clock::time_point start;
        const double seconds = secondsToFirstPaint(
            bench.application, bench.items, rows,
            [&] {
                start = Clock::now();
                bench.window.dispatch(command);
            },
            start);
        printFigure(figure, rows, seconds);
    };
    timeCommand("Delete Item of row 0 to the item list's paint", deleteItemButtonId, listed - 1);
    timeCommand("Undo of that Delete Item to the item list's paint", undoCommandId, listed);
    timeCommand("Redo of that Delete Item to the item list's paint", redoCommandId, listed - 1);
    timeCommand("Copy Item of row 0 to the item list's paint", copyItemButtonId, listed);
    timeCommand("New Item to the item list's paint", newItemButtonId, listed + 1);
}

// Apply of a text to the first item's first linked property, which every linked property of the
// item takes, to the property list's next paint.
void timeLinkedApply(Window& bench) {
    const auto layout = bench.window.state().document.items.properties();
    const auto linked = std::find_if(layout.begin(), layout.end(),
                                     [](const PropertySlot& slot) { return slot.facts.linked; });
    if (linked == layout.end())
        throw std::runtime_error("the file has no linked property");
    firstClick(bench.items);
    secondClick(bench.items);
    bench.properties->selectAndReveal(int(linked - layout.begin()));
    QTest::keyClick(bench.properties, Qt::Key_Return);
    // A number every type reads, so that every linked property takes it.
    control<QLineEdit>(bench.window, valueEditId)->setText(QStringLiteral("7"));
    const double seconds = secondsToNextPaint(bench.application, bench.properties,
                                              [&] { bench.window.dispatch(applyButtonId); });
    printFigure("Apply to linked properties to the property list's paint",
                bench.properties->model()->rowCount(), seconds);
}

// A search of all properties for a space, which nearly every item's strings hold, from the click
// on Search to the found-item list's first paint with the items found.
void timeSearchDialog(Window& bench) {
    // Run inside the dialog's own event loop, which no exception may leave.
    std::string failure = "the Search dialog did not open";
    QTimer::singleShot(0, &bench.window, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        try {
            control<QLineEdit>(*dialog, searchTextEditId)->setText(QStringLiteral(" "));
            control<QRadioButton>(*dialog, allPropertiesRadioId)->click();
            ReportList* found = list(*dialog, foundItemListId);
            const double seconds = secondsToNextPaint(bench.application, found, [&] {
                control<QPushButton>(*dialog, searchButtonId)->click();
            });
            printFigure("Search listing the items found to their list's paint",
                        found->model()->rowCount(), seconds);
            failure.clear();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        dialog->close();
    });
    bench.window.dispatch(searchCommandId);
    if (!failure.empty())
        throw std::runtime_error(failure);
}

// Save, held against writing and flushing as many bytes beside it, reported by the values of the
// file opened (`opened`). Save As to `savedPath` first (untimed), so that the file measured on is
// left as it was and each Save replaces a file as large as itself.
void timeSave(Window& bench, const InfoHeader& opened, const std::string& savedPath) {
    bench.window.dispatch(saveAsCommandId);
    const InfoFile& document = bench.window.state().document;
    const std::vector<std::uint8_t> bytes =
        document.serialize(std::numeric_limits<std::uint64_t>::max());
    // What a Save leaves to threads of their own (freeing the file it replaced) is left out of
    // its time, as the limit's removal of its file is, and out of the limit's round.
    constexpr int settleMilliseconds = 2000;
    const BestTimes best = bestOfRounds(
        [&] {
            const double seconds = secondsOf([&] { bench.window.dispatch(saveCommandId); });
            QTest::qWait(settleMilliseconds);
            return seconds;
        },
        [&] { return writeAndFlushSeconds(savedPath + ".limit", bytes); });
    std::printf("time,Save from the window,%llu,%.6g,write + fsync file,%.6g\n",
                static_cast<unsigned long long>(opened.itemCount) * opened.propertyCount,
                best.operation, best.limit);
    std::fflush(stdout);
    std::remove(savedPath.c_str());
}

int run(PaintClock& application, const QStringList& arguments) {
    if (arguments.size() < 4) {
        std::fputs("usage: kestra_window_bench FOLDER WIDE_FILE LIST_FILE...\n", stderr);
        return 2;
    }
    // The documentation file is read from the current folder, as the editor does.
    QDir::setCurrent(arguments[1]);

    QString nextPath;
    Clock::time_point dialogClosed;
    UserDialogs dialogs;
    dialogs.askOpenPath = [&](QWidget*) {
        dialogClosed = Clock::now();
        return nextPath;
    };
    QString savedPath;
    dialogs.askSavePath = [&](QWidget*, const QString&) { return savedPath; };
    dialogs.showError = [](QWidget*, const QString& text, const QString&, const QString&) {
        throw std::runtime_error(text.toStdString());
    };
    dialogs.askUnsavedChanges = [](QWidget*, const QString&) { return UnsavedChoice::Discard; };
    // Edits an earlier run left in a journal are not replayed.
    dialogs.askRecover = [](QWidget*, const QString&, std::size_t) { return false; };
    dialogs.askKeepJournalAside = [](QWidget*, const QString&) { return false; };
    MainWindow window(dialogs);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        throw std::runtime_error("the window was never shown");
    Window bench{application, window, list(window, itemListId), list(window, propertyListId)};

    const auto open = [&](const QString& path) {
        nextPath = path;
        return secondsToFirstPaint(
            application, bench.items, int(headerOf(path).itemCount),
            [&] { window.dispatch(openCommandId); }, dialogClosed);
    };
    for (const QString& path : arguments.mid(3)) {
        const double opened = open(path);
        printFigure("Open to the item list's first paint", bench.items->model()->rowCount(),
                    opened);
    }
    timeItemCommands(bench);
    timeLinkedApply(bench);
    timeSearchDialog(bench);
    savedPath = arguments.last() + QStringLiteral(".saved");
    timeSave(bench, headerOf(arguments.last()), savedPath.toStdString());

    open(arguments[2]);
    firstClick(bench.items);
    Clock::time_point clicked;
    const double shown = secondsToFirstPaint(
        application, bench.properties, int(headerOf(arguments[2]).propertyCount),
        [&] {
            clicked = Clock::now();
            secondClick(bench.items);
        },
        clicked);
    printFigure("double-click to the property list's first paint",
                bench.properties->model()->rowCount(), shown);
    return 0;
}

} // namespace

} // namespace kestra

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kestra::PaintClock application(argc, argv);
    try {
        return kestra::run(application, QCoreApplication::arguments());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kestra_window_bench: %s\n", failure.what());
        return 1;
    }
}
