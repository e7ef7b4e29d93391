#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

#include "kestra_version.h"
#include "main_window.h"

namespace {

// --help and --version are answered before the window system starts, so that they work where
// there is no display (over ssh, or help2man during the build). Anything else is checked once
// QApplication has taken out Qt's own options (-platform, -style), which this parser does not know.
void answerHelpOrVersion(int& argc, char* argv[], QCommandLineParser& parser) {
    const QCoreApplication withoutDisplay(argc, argv);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("kestra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTRA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Kestra, an editor for info files: binary, big-endian data tables. It reads property names "
        "from InfoFileDocumentation.dat in the current directory."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The info file to open, as File > Open would."),
                                 QStringLiteral("[FILE]"));
    answerHelpOrVersion(argc, argv, parser);

    QApplication application(argc, argv);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kestra.Kestra"));
    parser.process(application);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("kestra: only one FILE can be opened; see kestra --help\n", stderr);
        return 1;
    }

    kestra::MainWindow window(kestra::standardUserDialogs());
    window.show();
    if (!files.isEmpty()) {
        // The Open dialog gives an absolute path, and so the title shows one.
        const QString path = QFileInfo(files.front()).absoluteFilePath();
        QTimer::singleShot(0, &window, [&window, path] { window.openPath(path); });
    }
    return application.exec();
}
