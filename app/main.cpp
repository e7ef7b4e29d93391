#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

#include "kestra_version.h"
#include "main_window.h"
#include "names/documentation_search.h"

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
        "from the first InfoFileDocumentation.dat found in the current directory, in FILE's "
        "directory, in $XDG_DATA_HOME/kestra or in kestra/ of each $XDG_DATA_DIRS directory."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption docOption(
        QStringLiteral("doc"),
        QStringLiteral("Read property names from PATH (only), instead of looking for "
                       "InfoFileDocumentation.dat."),
        QStringLiteral("PATH"));
    parser.addOption(docOption);
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

    // The Open dialog gives an absolute path, and so the title shows one.
    const QString path = files.isEmpty() ? QString() : QFileInfo(files.front()).absoluteFilePath();
    kestra::DocumentationSources names = kestra::environmentDocumentationSources();
    names.given = parser.value(docOption).toStdString();
    names.infoFile = path.toStdString();
    kestra::MainWindow window(kestra::standardUserDialogs(), kestra::documentationPlaces(names));
    window.show();
    if (!path.isEmpty())
        QTimer::singleShot(0, &window, [&window, path] { window.openPath(path); });
    return application.exec();
}
