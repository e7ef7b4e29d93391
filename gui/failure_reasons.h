#pragma once

#include <QString>

#include <span>
#include <string>

#include "format/info_format.h"
#include "io/file_error.h"
#include "names/documentation_search.h"
#include "values/value_text.h"

// The reasons the error boxes give beneath their fixed texts, in the words the tool prints.
namespace kestra {

// "PATH: cannot open the file: No such file or directory".
QString openFailureReason(const std::string& path, const FileError& error);
// "PATH: cannot be saved: why", or what happened when the new file is in place but not flushed.
QString saveFailureReason(const std::string& path, const FileError& error);
// Why `typed` could not be stored into a value of type `type`.
QString valueProblemReason(const QString& typed, ValueTextProblem problem, TypeCode type);
// Every place the documentation file was looked for in, with why it could not be read there.
QString documentationSearchReason(std::span<const DocumentationAttempt> tried);

} // namespace kestra
