// kestra_bench time|memory INFO_PATH DOCUMENTATION_PATH [KESTRA_TOOL]
//
// Measures the editor's core operations on one info file, each in the same run as the limit it
// is held against, and (given KESTRA_TOOL) a whole kestra-tool search process, and prints one CSV
// line per figure:
//   time,OPERATION,VALUES,SECONDS,LIMIT,LIMIT_SECONDS
//   found,OPERATION,VALUES,ITEMS_FOUND
//   check,WHAT,VALUES,yes|no
//   memory,FIGURE,VALUES,BYTES,FILE_BYTES
// "memory" is best run in a fresh process, so that nothing else has been resident before.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/info_file.h"
#include "format_limit.h"
#include "limits.h"
#include "names/documentation_table.h"
#include "resident_memory.h"
#include "run_process.h"
#include "search/search_matching.h"
#include "stopwatch.h"
#include "synthetic_info.h"

namespace kestra {

namespace {

constexpr const char* usage =
    "usage: kestra_bench time|memory INFO_PATH DOCUMENTATION_PATH [KESTRA_TOOL]\n";

struct Bench {
    std::string infoPath;
    DocumentationTable documentation;
    std::vector<std::uint8_t> fileBytes;
    InfoFile document;
    std::size_t values = 0;
};

std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void loadOrThrow(InfoFile& document, const std::string& path,
                 const DocumentationTable& documentation) {
    FileError error;
    if (!document.load(path, documentation, &error))
        throw std::runtime_error("cannot load " + path + ": " + error.message);
}

void printTime(const std::string& operation, std::size_t values, BestTimes best,
               const char* limit) {
    std::printf("time,%s,%zu,%.6g,%s,%.6g\n", operation.c_str(), values, best.operation, limit,
                best.limit);
    std::fflush(stdout);
}

void printCheck(const char* what, std::size_t values, bool holds) {
    std::printf("check,%s,%zu,%s\n", what, values, holds ? "yes" : "no");
    std::fflush(stdout);
}

// Load is held against reading the file into fresh memory.
void timeLoad(const Bench& bench) {
    const BestTimes best = bestOfRounds(
        [&] {
            InfoFile document;
            return secondsOf([&] { loadOrThrow(document, bench.infoPath, bench.documentation); });
        },
        [&] { return readFileSeconds(bench.infoPath, bench.fileBytes.size()); });
    printTime("load", bench.values, best, "read file");
}

// Save (to a temporary file beside the target, flushed, renamed) is held against writing and
// flushing as many bytes.
void timeSave(const Bench& bench) {
    const std::string target = bench.infoPath + ".saved";
    const std::string limitPath = bench.infoPath + ".limit";
    const BestTimes best = bestOfRounds(
        [&] {
            std::remove(target.c_str());
            return secondsOf([&] {
                if (!bench.document.save(target))
                    throw std::runtime_error("cannot save " + target);
            });
        },
        [&] { return writeAndFlushSeconds(limitPath, bench.fileBytes); });
    printTime("save", bench.values, best, "write + fsync file");
    printCheck("load then save reproduces the file", bench.values,
               readWholeFile(target) == bench.fileBytes);
    std::remove(target.c_str());
}

// The first property of one of these types, whose ID the single-property search looks for.
const PropertyFacts& firstPropertyOf(const InfoFile& document,
                                     std::initializer_list<TypeCode> codes) {
    for (const PropertySlot& property : document.items.properties()) {
        if (std::find(codes.begin(), codes.end(), property.facts.typeCode) != codes.end())
            return property.facts;
    }
    throw std::runtime_error("the file has no property of a needed type");
}

template <class Search>
void timeSearch(const Bench& bench, const std::string& operation, Search&& search) {
    SearchResults results;
    const BestTimes best = bestOfRounds(
        [&] {
            results.clear();
            return secondsOf([&] { search(results); });
        },
        [&] { return scanSeconds(bench.document); });
    printTime(operation, bench.values, best, "scan packed values");
    std::printf("found,%s,%zu,%zu\n", operation.c_str(), bench.values, results.size());
}

void timeSearches(const Bench& bench) {
    const InfoFile& document = bench.document;
    const PropertyFacts& integer = firstPropertyOf(document, {TypeCode::I4});
    const PropertyFacts& string = firstPropertyOf(document, {TypeCode::S32, TypeCode::S16});
    for (const std::string_view text : {syntheticNumberText, syntheticWordText}) {
        const std::string shown(text);
        timeSearch(bench, "searchAllProperties " + shown,
                   [&](SearchResults& results) { searchAllProperties(text, document, results); });
        const PropertyFacts& property = text == syntheticNumberText ? integer : string;
        const std::string code(typeCodeText(property.typeCode));
        timeSearch(bench, "searchCertainType " + code + " " + shown, [&](SearchResults& results) {
            searchCertainType(text, property.typeCode, document, results);
        });
        timeSearch(bench, "searchSingleProperty " + code + " " + shown,
                   [&](SearchResults& results) {
                       searchSingleProperty(text, property.descriptor.id, document, results);
                   });
    }
}

void printMemory(const std::string& figure, std::size_t values, std::uint64_t bytes,
                 std::size_t fileBytes) {
    std::printf("memory,%s,%zu,%llu,%zu\n", figure.c_str(), values,
                static_cast<unsigned long long>(bytes), fileBytes);
    std::fflush(stdout);
}

// A whole kestra-tool process held against `limit`; prints its time and whether it ended with
// `status`. (Its peak memory is measured apart, with /usr/bin/time: a child started from this
// process inherits this process's peak in its accounting.)
template <class Limit>
void timeToolCommand(const Bench& bench, const std::string& operation,
                     const std::vector<std::string>& arguments, int status, Limit&& limit,
                     const char* limitName) {
    bool statusHeld = true;
    const BestTimes best = bestOfRounds(
        [&] {
            int ended = 0;
            const double seconds = secondsOf([&] { ended = runProcess(arguments); });
            statusHeld = statusHeld && ended == status;
            return seconds;
        },
        limit);
    printTime(operation, bench.values, best, limitName);
    printCheck((operation + " ends with its status").c_str(), bench.values, statusHeld);
}

// diff (one value differs), validate and every dump format, each a whole process.
void timeToolCommands(const Bench& bench, const std::string& documentationPath,
                      const std::string& tool) {
    const std::size_t size = bench.fileBytes.size();
    const auto readFile = [&] { return readFileSeconds(bench.infoPath, size); };
    const std::string other = bench.infoPath + ".other.info";
    std::vector<std::uint8_t> changed = bench.fileBytes;
    changed[bench.document.header.firstItemOffset + 3] ^= 1; // the first item's first value
    {
        std::ofstream file(other, std::ios::binary);
        file.write(reinterpret_cast<const char*>(changed.data()), std::streamsize(size));
        if (!file.flush())
            throw std::runtime_error("cannot write " + other);
    }
    timeToolCommand(
        bench, "kestra-tool diff (one value differs)", {tool, "diff", bench.infoPath, other}, 1,
        [&] { return readFile() + readFileSeconds(other, size); }, "read both files");
    std::remove(other.c_str());
    timeToolCommand(bench, "kestra-tool validate", {tool, "validate", bench.infoPath}, 0, readFile,
                    "read file");
    const struct {
        const char* name;
        std::vector<std::string> options;
        FormatStyle style;
    } dumps[] = {
        {"json", {"--format", "json"}, FormatStyle::Json},
        {"jsonl", {"--format", "jsonl"}, FormatStyle::Jsonl},
        {"csv", {"--format", "csv"}, FormatStyle::Csv},
        {"csv --exact", {"--format", "csv", "--exact"}, FormatStyle::CsvExact},
    };
    for (const auto& dump : dumps) {
        std::vector<std::string> arguments = {tool, "dump", bench.infoPath, "--doc",
                                              documentationPath};
        arguments.insert(arguments.end(), dump.options.begin(), dump.options.end());
        timeToolCommand(
            bench, std::string("kestra-tool dump ") + dump.name, arguments, 0,
            [&] { return formatAndWriteSeconds(bench.document, dump.style, "/dev/null"); },
            "to_chars into a buffer and written");
    }
}

// import of the table dump wrote, no cell changed, saved to another file.
void timeToolImport(const Bench& bench, const std::string& documentationPath,
                    const std::string& tool) {
    const std::string table = bench.infoPath + ".csv";
    const std::string saved = bench.infoPath + ".imported.info";
    if (runProcess({tool, "dump", bench.infoPath, "--doc", documentationPath, "--format", "csv"},
                   table) != 0)
        throw std::runtime_error("cannot dump " + bench.infoPath);
    timeToolCommand(
        bench, "kestra-tool import (no cell changed)",
        {tool, "import", bench.infoPath, table, "-o", saved}, 0,
        [&] {
            return parseAndWriteSeconds(bench.document, bench.fileBytes, table,
                                        bench.infoPath + ".limit");
        },
        "from_chars cells then write + fsync");
    printCheck("import of an unchanged table reproduces the file", bench.values,
               readWholeFile(saved) == bench.fileBytes);
    std::remove(table.c_str());
    std::remove(saved.c_str());
}

// The tool's whole search process, from start to exit, for a text no value holds (so it loads the
// file and compares every value), held against reading the file into fresh memory.
void timeToolSearch(const Bench& bench, const std::string& documentationPath,
                    const std::string& tool) {
    const std::string text(syntheticAbsentText);
    bool foundNothing = true;
    const BestTimes best = bestOfRounds(
        [&] {
            int status = 0;
            const double seconds = secondsOf([&] {
                status = runProcess(
                    {tool, "search", bench.infoPath, "--all", text, "--doc", documentationPath});
            });
            foundNothing = foundNothing && status == 1; // the tool's status for nothing found
            return seconds;
        },
        [&] { return readFileSeconds(bench.infoPath, bench.fileBytes.size()); });
    printTime("kestra-tool search --all (whole process)", bench.values, best, "read file");
    printCheck("the tool's search finds nothing", bench.values, foundNothing);
}

// Resident memory the load adds, and its peak during the load, from the process's own accounting.
void measureMemory(const std::string& infoPath, const DocumentationTable& documentation) {
    const std::size_t fileBytes = std::size_t(std::filesystem::file_size(infoPath));
    const std::uint64_t before = residentBytes();
    InfoFile document;
    loadOrThrow(document, infoPath, documentation);
    const std::uint64_t afterLoad = residentBytes();
    const std::uint64_t peak = peakResidentBytes();
    const std::size_t values = valueCount(document);
    printMemory("resident after load", values, afterLoad - before, fileBytes);
    printMemory("peak resident during load", values, peak - before, fileBytes);
}

int run(int argc, char** argv) {
    const std::string mode = argc == 4 || argc == 5 ? argv[1] : "";
    if (mode != "time" && mode != "memory") {
        std::fputs(usage, stderr);
        return 2;
    }
    Bench bench;
    bench.infoPath = argv[2];
    if (!loadDocumentationFile(bench.documentation, argv[3]))
        throw std::runtime_error(std::string("cannot read ") + argv[3]);
    if (mode == "memory") {
        measureMemory(bench.infoPath, bench.documentation);
        return 0;
    }

    bench.fileBytes = readWholeFile(bench.infoPath);
    loadOrThrow(bench.document, bench.infoPath, bench.documentation);
    bench.values = valueCount(bench.document);
    const InfoHeader& header = bench.document.header;
    printCheck("the file loads with every value", bench.values,
               header.propertyCount > 0 &&
                   bench.values == std::size_t(header.itemCount) * header.propertyCount);
    timeLoad(bench);
    timeSave(bench);
    timeSearches(bench);
    if (argc == 5) {
        timeToolSearch(bench, argv[3], argv[4]);
        timeToolCommands(bench, argv[3], argv[4]);
        timeToolImport(bench, argv[3], argv[4]);
    }
    return 0;
}

} // namespace

} // namespace kestra

int main(int argc, char** argv) {
    try {
        return kestra::run(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "kestra_bench: %s\n", failure.what());
        return 1;
    }
}
