// The search over PROJ's reference systems that the window's choice of a system shows.
#include "gis/ReferenceSystemCatalog.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::string> CodesFound(const stadix::ReferenceSystemCatalog& catalog,
                                    const std::string& text) {
    std::vector<std::string> codes;
    for (std::size_t i : catalog.Find(text))
        codes.push_back(catalog.Listings()[i].code);
    return codes;
}

} // namespace

TEST(ReferenceSystemCatalogTest, FindsByCodeAndByTheWordsOfTheName) {
    const stadix::ReferenceSystemCatalog catalog;
    const std::vector<std::string> byCode = CodesFound(catalog, "25833");
    ASSERT_FALSE(byCode.empty());
    EXPECT_EQ(byCode[0], "EPSG:25833");
    EXPECT_EQ(CodesFound(catalog, " epsg:25833 ")[0], "EPSG:25833");
    EXPECT_EQ(CodesFound(catalog, "utm ZONE 33n"), CodesFound(catalog, "UTM zone 33N"));
    const std::vector<std::string> byName = CodesFound(catalog, "UTM zone 33N");
    EXPECT_NE(std::find(byName.begin(), byName.end(), "EPSG:25833"), byName.end());
    EXPECT_NE(std::find(byName.begin(), byName.end(), "EPSG:32633"), byName.end());
    EXPECT_EQ(std::find(byName.begin(), byName.end(), "EPSG:25832"), byName.end());
    EXPECT_EQ(catalog.Listings()[catalog.Find("25833")[0]].Label(),
              "EPSG:25833  ETRS89 / UTM zone 33N");
    // Geographic systems are left out: a job holds northings and eastings.
    EXPECT_TRUE(catalog.Find("EPSG:4326").empty());
    EXPECT_TRUE(catalog.Find("no such system zz").empty());
    EXPECT_EQ(catalog.Find("").size(), catalog.Listings().size());
}
