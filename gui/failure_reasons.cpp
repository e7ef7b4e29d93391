#include "failure_reasons.h"

#include <QDir>

#include "qt_text.h"
#include "window_texts.h"

namespace kestra {

namespace {

QString reasonLine(const QString& where, const std::string& why) {
    return QString::fromUtf8(texts::reasonFormat).arg(where, QString::fromStdString(why));
}

} // namespace

QString openFailureReason(const std::string& path, const FileError& error) {
    return reasonLine(QString::fromStdString(path), error.text());
}

QString saveFailureReason(const std::string& path, const FileError& error) {
    return reasonLine(QString::fromStdString(path), saveFailureText(error));
}

QString valueProblemReason(const QString& typed, ValueTextProblem problem, TypeCode type) {
    switch (problem) {
    case ValueTextProblem::Empty:
        return QString::fromUtf8(texts::valueEmpty);
    case ValueTextProblem::NotANumber:
        return QString::fromUtf8(texts::valueNotANumber).arg(typed);
    case ValueTextProblem::OutOfRange:
        return QString::fromUtf8(texts::valueOutOfRange)
            .arg(typed, toQString(typeDisplayName(type)));
    case ValueTextProblem::None:
        break;
    }
    return {};
}

QString documentationSearchReason(std::span<const DocumentationAttempt> tried) {
    QStringList lines = {QString::fromUtf8(texts::documentationLookedIn)};
    // The current folder's file is named with its folder: the box is all the user sees.
    for (const DocumentationAttempt& attempt : tried)
        lines << reasonLine(QDir::current().absoluteFilePath(QString::fromStdString(attempt.path)),
                            attempt.error.text());
    return lines.join(QLatin1Char('\n'));
}

} // namespace kestra
