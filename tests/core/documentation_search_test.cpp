#include "names/documentation_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace kestra {
namespace {

using Places = std::vector<std::string>;

struct PlacesCase {
    const char* what;
    DocumentationSources sources;
    Places expected;
};

TEST(DocumentationPlaces, AreLookedInThisOrder) {
    const std::string name = "InfoFileDocumentation.dat";
    const PlacesCase cases[] = {
        {"a given path alone", {"names.dat", "/f/a.info", "/d", "", "/h"}, {"names.dat"}},
        {"defaults",
         {"", "", "", "", "/h"},
         {name, "/h/.local/share/kestra/" + name, "/usr/local/share/kestra/" + name,
          "/usr/share/kestra/" + name}},
        {"beside the file, then each folder",
         {"", "/f/a.info", "/d/", "/x:rel::/y/:/x", ""},
         {name, "/f/" + name, "/d/kestra/" + name, "/x/kestra/" + name, "/y/kestra/" + name}},
        {"a file in the current folder, a relative data home",
         {"", "a.info", "rel", "/x", "/h"},
         {name, "/h/.local/share/kestra/" + name, "/x/kestra/" + name}},
        {"standard input", {"", "-", "", "/x", ""}, {name, "/x/kestra/" + name}},
    };
    for (const PlacesCase& c : cases)
        EXPECT_EQ(documentationPlaces(c.sources), c.expected) << c.what;
}

TEST(DocumentationSearch, ReadsTheFirstReadablePlaceAndSaysWhereItLooked) {
    testing::TempDir folder;
    std::filesystem::create_directory(folder.file("folder"));
    testing::writeFile(folder.file("second"), testing::hexBytes("28 37 29")); // "(7)"
    testing::writeFile(folder.file("third"), {});
    const Places places = {folder.file("missing"), folder.file("folder"), folder.file("second"),
                           folder.file("third")};

    const DocumentationSearch found = searchDocumentation(places);
    ASSERT_TRUE(found.table.loaded);
    EXPECT_EQ(found.table.entries.size(), 1u);
    ASSERT_EQ(found.tried.size(), 3u);
    EXPECT_EQ(found.tried[0].error.text(), "cannot open the file: No such file or directory");
    EXPECT_EQ(found.tried[1].error.text(), "cannot open the file: Is a directory");
    EXPECT_EQ(found.tried[2].path, places[2]);
    EXPECT_TRUE(found.tried[2].error.message.empty());

    const DocumentationSearch none =
        searchDocumentation(Places(places.begin(), places.begin() + 2));
    EXPECT_FALSE(none.table.loaded);
    EXPECT_EQ(none.tried.size(), 2u);
}

} // namespace
} // namespace kestra
