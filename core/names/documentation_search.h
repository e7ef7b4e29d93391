#pragma once

#include <span>
#include <string>
#include <vector>

#include "io/file_error.h"
#include "names/documentation_table.h"

namespace kestra {

// What a run knows about where property names may be: a path the user gave, the info file it was
// started with, and the freedesktop data folders ($XDG_DATA_HOME, $XDG_DATA_DIRS, $HOME), each
// empty when not set.
struct DocumentationSources {
    std::string given;    // --doc PATH; when set, the only place looked in
    std::string infoFile; // its folder is looked in after the current one; "-" is no file
    std::string dataHome;
    std::string dataDirs; // separated by ':'
    std::string home;
};

// The sources with the data folders and home taken from the environment.
DocumentationSources environmentDocumentationSources();

// The paths to look in, in order: the given path alone; or InfoFileDocumentation.dat in the
// current folder, in the info file's folder, in kestra/ of the data home ($HOME/.local/share when
// unset) and in kestra/ of each data folder (/usr/local/share and /usr/share when unset).
// Relative data folders are ignored, as the freedesktop rules ask; no path appears twice.
std::vector<std::string> documentationPlaces(const DocumentationSources& sources);

// The documentation file's path beside `infoFile`, or empty when it is in the current folder.
std::string documentationBeside(const std::string& infoFile);

struct DocumentationAttempt {
    std::string path;
    FileError error; // empty message for the file that was read
};

struct DocumentationSearch {
    DocumentationTable table;                // loaded when one of the places could be read
    std::vector<DocumentationAttempt> tried; // in order, ending with the one read, if any
};

// Reads the first of `places` that can be read.
DocumentationSearch searchDocumentation(std::span<const std::string> places);

} // namespace kestra
