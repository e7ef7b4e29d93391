// kestra_bench time|files|memory INFO_PATH DOCUMENTATION_PATH
//
// Measures the editor's core operations on one info file, each in the same run as the limit it
// is held against ("files": load and save only), and prints one CSV line per figure:
//   time,OPERATION,VALUES,SECONDS,LIMIT,LIMIT_SECONDS
//   found,OPERATION,VALUES,ITEMS_FOUND
//   check,WHAT,VALUES,yes|no
//   memory,FIGURE,COUNT,BYTES_PER_UNIT
// "memory" is best run in a fresh process, so that nothing else has been resident before.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/info_file.h"
#include "limits.h"
#include "names/documentation_table.h"
#include "resident_memory.h"
#include "search/search_matching.h"
#include "stopwatch.h"
#include "synthetic_info.h"
#include "window/display_rows.h"

namespace kestra {

namespace {

constexpr const char* usage =
    "usage: kestra_bench time|files|memory INFO_PATH DOCUMENTATION_PATH\n";

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

// Load is held against reading the file and writing the bytes the loaded document occupies.
void timeLoad(const Bench& bench) {
    const std::size_t touched = documentBytes(bench.document);
    const BestTimes best = bestOfRounds(
        [&] {
            InfoFile document;
            return secondsOf([&] { loadOrThrow(document, bench.infoPath, bench.documentation); });
        },
        [&] {
            return readFileSeconds(bench.infoPath, bench.fileBytes.size()) + touchSeconds(touched);
        });
    printTime("load", bench.values, best, "read file + touch document");
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

void timeRows(const Bench& bench) {
    const std::size_t items = bench.document.items.size();
    const BestTimes itemRows = bestOfRounds(
        [&] {
            std::vector<ItemRow> rows;
            return secondsOf([&] {
                buildItemRows(bench.document, rows);
                keep(rows.data());
            });
        },
        [&] { return touchSeconds(items * sizeof(ItemRow)); });
    printTime("buildItemRows", bench.values, itemRows, "touch item rows");

    // One item's rows are a handful, so the figure that grows with the file is building them for
    // every item in turn, as a user stepping through the list would.
    const std::size_t properties = bench.document.header.propertyCount;
    const BestTimes propertyRows = bestOfRounds(
        [&] {
            std::vector<PropertyRow> rows;
            return secondsOf([&] {
                for (std::size_t item = 0; item < items; ++item) {
                    buildPropertyRows(bench.document, item, rows);
                    keep(rows.data());
                }
            });
        },
        [&] { return rewriteSeconds(properties * sizeof(PropertyRow), items); });
    printTime("buildPropertyRows (every item)", bench.values, propertyRows,
              "rewrite property rows");
}

// The first property of one of these types, whose ID the single-property search looks for.
const PropertyValue& firstValueOf(const InfoFile& document, std::initializer_list<TypeCode> codes) {
    for (const PropertyValue& value : document.items.front().values) {
        if (std::find(codes.begin(), codes.end(), value.typeCode) != codes.end())
            return value;
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
    printTime(operation, bench.values, best, "scan document");
    std::printf("found,%s,%zu,%zu\n", operation.c_str(), bench.values, results.size());
}

void timeSearches(const Bench& bench) {
    const InfoFile& document = bench.document;
    const PropertyValue& integer = firstValueOf(document, {TypeCode::I4});
    const PropertyValue& string = firstValueOf(document, {TypeCode::S32, TypeCode::S16});
    const std::string integerCode(typeCodeText(integer.typeCode));
    const std::string stringCode(typeCodeText(string.typeCode));
    for (const std::string_view text : {syntheticNumberText, syntheticWordText}) {
        const std::string shown(text);
        timeSearch(bench, "searchAllProperties " + shown,
                   [&](SearchResults& results) { searchAllProperties(text, document, results); });
        const std::string& code = text == syntheticNumberText ? integerCode : stringCode;
        timeSearch(bench, "searchCertainType " + code + " " + shown, [&](SearchResults& results) {
            searchCertainType(text, code, document, results);
        });
        const PropertyValue& value = text == syntheticNumberText ? integer : string;
        timeSearch(bench, "searchSingleProperty " + code + " " + shown,
                   [&](SearchResults& results) {
                       searchSingleProperty(text, value.id, document, results);
                   });
    }
}

void printMemory(const char* figure, std::size_t count, double bytes) {
    std::printf("memory,%s,%zu,%.1f\n", figure, count, count ? bytes / double(count) : 0.0);
    std::fflush(stdout);
}

// Resident memory the document and the item rows add, from the process's own accounting.
void measureMemory(const std::string& infoPath, const DocumentationTable& documentation) {
    const std::uint64_t before = residentBytes();
    InfoFile document;
    loadOrThrow(document, infoPath, documentation);
    const std::uint64_t afterLoad = residentBytes();
    const std::uint64_t peak = peakResidentBytes();
    const std::size_t values = valueCount(document);
    printMemory("resident per value after load", values, double(afterLoad - before));
    printMemory("peak resident per value during load", values, double(peak - before));

    std::vector<ItemRow> rows;
    buildItemRows(document, rows);
    const std::uint64_t afterRows = residentBytes();
    printMemory("resident per item row", rows.size(), double(afterRows - afterLoad));
}

int run(int argc, char** argv) {
    const std::string mode = argc == 4 ? argv[1] : "";
    if (mode != "time" && mode != "files" && mode != "memory") {
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
    if (mode == "files")
        return 0;
    timeRows(bench);
    timeSearches(bench);
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
