#include "names/documentation_search.h"

#include <algorithm>
#include <cstdlib>

namespace kestra {

namespace {

constexpr const char* applicationFolder = "/kestra/";
constexpr const char* defaultDataHome = "/.local/share";
constexpr const char* defaultDataDirs = "/usr/local/share:/usr/share";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool isAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

void addPlace(std::vector<std::string>& places, std::string path) {
    if (!path.empty() && std::find(places.begin(), places.end(), path) == places.end())
        places.push_back(std::move(path));
}

void addDataFolder(std::vector<std::string>& places, std::string folder) {
    if (!isAbsolute(folder))
        return;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    addPlace(places, folder + applicationFolder + documentationFileName);
}

} // namespace

DocumentationSources environmentDocumentationSources() {
    DocumentationSources sources;
    sources.dataHome = environment("XDG_DATA_HOME");
    sources.dataDirs = environment("XDG_DATA_DIRS");
    sources.home = environment("HOME");
    return sources;
}

std::string documentationBeside(const std::string& infoFile) {
    const std::size_t slash = infoFile.rfind('/');
    if (infoFile == "-" || slash == std::string::npos)
        return {};
    return infoFile.substr(0, slash + 1) + documentationFileName;
}

std::vector<std::string> documentationPlaces(const DocumentationSources& sources) {
    if (!sources.given.empty())
        return {sources.given};
    std::vector<std::string> places = {documentationFileName};
    addPlace(places, documentationBeside(sources.infoFile));
    addDataFolder(places, isAbsolute(sources.dataHome)
                              ? sources.dataHome
                              : (isAbsolute(sources.home) ? sources.home + defaultDataHome : ""));
    // An unset or empty list means the default folders; relative entries are skipped one by one.
    const std::string dataDirs = sources.dataDirs.empty() ? defaultDataDirs : sources.dataDirs;
    for (std::size_t start = 0; start <= dataDirs.size();) {
        const std::size_t end = std::min(dataDirs.find(':', start), dataDirs.size());
        addDataFolder(places, dataDirs.substr(start, end - start));
        start = end + 1;
    }
    return places;
}

DocumentationSearch searchDocumentation(std::span<const std::string> places) {
    DocumentationSearch search;
    for (const std::string& path : places) {
        DocumentationAttempt& attempt = search.tried.emplace_back(DocumentationAttempt{path, {}});
        if (loadDocumentationFile(search.table, path, &attempt.error))
            break;
    }
    return search;
}

} // namespace kestra
