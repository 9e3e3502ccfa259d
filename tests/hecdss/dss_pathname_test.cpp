#include <algorithm>

#include <gtest/gtest.h>

#include "hecdss/dss_pathname.hpp"

namespace hecdss {
namespace {

struct HashCase {
    std::string pathname;
    std::int64_t tableHash;
    std::int64_t pathnameHash;
};

TEST(DssPathnameTest, HashesAgreeWithFilesOfOtherWriters) {
    const std::vector<HashCase> cases = {
        {"/A/B/C/D/E/F/", 3708, 1818523206388620372},
        {"/BASIN/LOC/FLOW/01Jan2009/1Hour/OBS/", 4487, -7814573318192827192},
        {"/UT/15033 Green River at Jensen/FLOW/01Jan2009/1Hour/MSA/", 5209, 6428771558201726690},
        {"/ut033/15033 Some Site/flow-res in/01Jan2009/1Hour/MSA/", 4958, -5921112892130041208},
        {"/UT033/15033 SOME SITE/FLOW-RES IN/01JAN2009/1HOUR/MSA/", 4958, -5921112892130041208},
        {"/A/X\xC3\xA9Y/C/01Jan2009/1Hour/F/", 4027, -473043874256524622},
        {"/A/X??Y/C/01Jan2009/1Hour/F/", 4027, -473043874256524622},
        {"/A/XY/C/01Jan2009/1Hour/F/", 1369, 3756389577455463826},
        {"/BASIN/LOC/STAGE/01Jan2009/1Hour/OBS/",
         5366,
         PathnameHash("/basin/loc/stage/01jan2009/1hour/obs/")},
    };
    for (const HashCase& c : cases) {
        EXPECT_EQ(TableHash(c.pathname, 8192), c.tableHash) << c.pathname;
        EXPECT_EQ(PathnameHash(c.pathname), c.pathnameHash) << c.pathname;
    }
}

TEST(DssPathnameTest, TableHashesStayBelowOtherTableSizes) {
    for (const std::int64_t maxHash : {16348, 32768, 64000}) {
        const std::int64_t hash = TableHash("/UT/15033 Green River at Jensen/FLOW/", maxHash);
        EXPECT_GE(hash, 0);
        EXPECT_LT(hash, maxHash);
    }
}

TEST(DssPathnameTest, NormalizingDropsBytesOutside32To126AndTextAfterTheSeventhSlash) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/A/X\xC3\xA9Y/C//1HOUR/F/", "/A/XY/C//1HOUR/F/"},
        {"/A/B\tC/C//1HOUR/F/", "/A/BC/C//1HOUR/F/"},
        {"/A/B/C//1HOUR/F/extra/", "/A/B/C//1HOUR/F/"},
        {"/a b/c/d//1hour/f/", "/a b/c/d//1hour/f/"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(NormalizePathname(input), expected);
    }
}

TEST(DssPathnameTest, SplitsOnlyPathnamesWithSevenSlashes) {
    EXPECT_EQ(SplitPathname("/A/B/C/D/E/F/"), (PathnameParts{"A", "B", "C", "D", "E", "F"}));
    EXPECT_EQ(SplitPathname("///////"), (PathnameParts{}));
    EXPECT_FALSE(SplitPathname("/A/B/C/D/E/").has_value());
    EXPECT_FALSE(SplitPathname("/A/B/C/D/E/F/G/").has_value());
    EXPECT_FALSE(SplitPathname("A/B/C/D/E/F//").has_value());
    EXPECT_EQ(JoinPathname({"A", "B", "C", "D", "E", "F"}), "/A/B/C/D/E/F/");
}

TEST(DssPathnameTest, CatalogOrderGroupsSeriesAndPutsBlocksInTimeOrder) {
    std::vector<std::string> pathnames = {
        "/BASIN/OFF/FLOW3/01Jan2010/1Month/OBS/",
        "/BASIN/OFF/FLOW/01Jan2000/1Year/OBS/",
        "/BASIN/OFF/FLOW/01Feb2009/1Hour/OBS/",
        "/BASIN/OFF/FLOW/01Jan2009/1Hour/OBS/",
        "/BASIN/OFF/FLOW/01Jan2009/15Minute/OBS/",
        "/BASIN/OFF/FLOW3/01Jan2000/1Month/OBS/",
    };
    std::sort(pathnames.begin(), pathnames.end(), [](const auto& a, const auto& b) {
        return CatalogLess(a, b);
    });
    EXPECT_EQ(pathnames,
              (std::vector<std::string>{
                  "/BASIN/OFF/FLOW/01Jan2009/15Minute/OBS/",
                  "/BASIN/OFF/FLOW/01Jan2009/1Hour/OBS/",
                  "/BASIN/OFF/FLOW/01Feb2009/1Hour/OBS/",
                  "/BASIN/OFF/FLOW/01Jan2000/1Year/OBS/",
                  "/BASIN/OFF/FLOW3/01Jan2000/1Month/OBS/",
                  "/BASIN/OFF/FLOW3/01Jan2010/1Month/OBS/",
              }));
}

} // namespace
} // namespace hecdss
