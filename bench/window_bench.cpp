// kestra_window_bench FOLDER WIDE_FILE LIST_FILE...
//
// Times the editor's window, headless, from the moment a user's action ends to the first paint
// that shows its result, and prints one CSV line per figure:
//   window,FIGURE,COUNT,SECONDS
// Each LIST_FILE is opened through the Open command (its dialog answered at once); the first item
// of the last is deleted, the deletion undone and redone; WIDE_FILE is then opened (its unsaved
// changes discarded) and its first item double-clicked. FOLDER holds InfoFileDocumentation.dat.
#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QTest>

#include "control_ids.h"
#include "format/info_format.h"
#include "main_window.h"
#include "report_list.h"

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

ReportList* list(MainWindow& window, int id) {
    auto* found = window.findChild<ReportList*>(QString::number(id));
    if (!found)
        throw std::runtime_error("the window has no list " + std::to_string(id));
    return found;
}

// The header of the info file at `path`.
InfoHeader headerOf(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    std::array<std::uint8_t, headerSize> bytes{};
    if (!file.read(reinterpret_cast<char*>(bytes.data()), bytes.size()))
        throw std::runtime_error("cannot read the header of " + path.toStdString());
    return decodeHeader(bytes);
}

// Seconds from `start` (set by `act`) to the end of the list's first paint that shows `rows`
// rows (not a paint of the rows it showed before, while the file is read).
double secondsToFirstPaint(PaintClock& application, ReportList* target, int rows,
                           const std::function<void()>& act, const Clock::time_point& start) {
    application.watch(target->viewport(),
                      [target, rows] { return target->model()->rowCount() == rows; });
    act();
    if (!QTest::qWaitFor([&] { return application.painted().has_value(); },
                         paintTimeoutMilliseconds))
        throw std::runtime_error("the list was never painted");
    return std::chrono::duration<double>(*application.painted() - start).count();
}

void printFigure(const char* figure, int count, double seconds) {
    std::printf("window,%s,%d,%.6g\n", figure, count, seconds);
    std::fflush(stdout);
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
    dialogs.askSavePath = [](QWidget*, const QString&) { return QString(); };
    dialogs.showError = [](QWidget*, const QString& text, const QString&, const QString&) {
        throw std::runtime_error(text.toStdString());
    };
    dialogs.askUnsavedChanges = [](QWidget*, const QString&) { return UnsavedChoice::Discard; };
    MainWindow window(dialogs);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        throw std::runtime_error("the window was never shown");
    ReportList* items = list(window, itemListId);
    ReportList* properties = list(window, propertyListId);

    const auto open = [&](const QString& path) {
        nextPath = path;
        return secondsToFirstPaint(
            application, items, int(headerOf(path).itemCount),
            [&] { window.dispatch(openCommandId); }, dialogClosed);
    };
    for (const QString& path : arguments.mid(3)) {
        const double opened = open(path);
        printFigure("Open to the item list's first paint", items->model()->rowCount(), opened);
    }

    // Delete Item of the first row of the last list, where every later row moves, then its Undo
    // and Redo, each to the item list's first paint with the new row count.
    const int listed = items->model()->rowCount();
    items->selectAndReveal(0);
    const auto timeCommand = [&](const char* figure, int command, int rows) {
        Clock::time_point start;
        const double seconds = secondsToFirstPaint(
            application, items, rows,
            [&] {
                start = Clock::now();
                window.dispatch(command);
            },
            start);
        printFigure(figure, rows, seconds);
    };
    timeCommand("Delete Item of row 0 to the item list's paint", deleteItemButtonId, listed - 1);
    timeCommand("Undo of that Delete Item to the item list's paint", undoCommandId, listed);
    timeCommand("Redo of that Delete Item to the item list's paint", redoCommandId, listed - 1);

    open(arguments[2]);
    // A double-click as the platform delivers it: press and release, then the second press.
    const QPoint firstRow = items->visualRect(items->model()->index(0, 0)).center();
    QTest::mouseClick(items->viewport(), Qt::LeftButton, {}, firstRow);
    Clock::time_point clicked;
    const double shown = secondsToFirstPaint(
        application, properties, int(headerOf(arguments[2]).propertyCount),
        [&] {
            clicked = Clock::now();
            QTest::mouseDClick(items->viewport(), Qt::LeftButton, {}, firstRow);
            QTest::mouseRelease(items->viewport(), Qt::LeftButton, {}, firstRow);
        },
        clicked);
    printFigure("double-click to the property list's first paint", properties->model()->rowCount(),
                shown);
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
