#include <gtest/gtest.h>

#include "common/run_error.hpp"
#include "sqlexport/dsid_items.hpp"

namespace rill::sqlexport {
namespace {

std::string Describe(const DsidItem& item) {
    const char* kind = item.kind == ItemKind::Zero   ? "zero"
                       : item.kind == ItemKind::List ? "list"
                                                     : "single";
    return std::string(kind) + "|" + item.dsidText + "|" + item.statement;
}

TEST(MakeDsidItemsTest, KindsTextsAndStatements) {
    struct Case {
        std::string dsidList;
        std::string statement;
        std::vector<std::string> expected; // kind|DSID text|statement
    };
    const std::string byDsid = "SELECT * FROM rhour WHERE datatype_site_id=DSID;";
    const std::vector<Case> cases = {
        {"", byDsid, {}},
        {"1024", byDsid, {"single|1024|SELECT * FROM rhour WHERE datatype_site_id=1024;"}},
        {"1024 15033",
         byDsid,
         {"single|1024|SELECT * FROM rhour WHERE datatype_site_id=1024;",
          "single|15033|SELECT * FROM rhour WHERE datatype_site_id=15033;"}},
        // Two blanks make an empty item, which is a single DSID with empty text.
        {"1024  15033",
         byDsid,
         {"single|1024|SELECT * FROM rhour WHERE datatype_site_id=1024;",
          "single||SELECT * FROM rhour WHERE datatype_site_id=;",
          "single|15033|SELECT * FROM rhour WHERE datatype_site_id=15033;"}},
        {"0", "SELECT count(*) FROM rhour;", {"zero|0|SELECT count(*) FROM rhour;"}},
        {"1024 0",
         byDsid,
         {"single|1024|SELECT * FROM rhour WHERE datatype_site_id=1024;",
          "zero|0|SELECT * FROM rhour WHERE datatype_site_id=DSID;"}},
        {"00", byDsid, {"single|00|SELECT * FROM rhour WHERE datatype_site_id=00;"}},
        // Every occurrence, inside longer words too, case-sensitive.
        {"1024",
         "SELECT DSID, DSID_OLD, dsid, Dsid FROM t WHERE id=DSID;",
         {"single|1024|SELECT 1024, 1024_OLD, dsid, Dsid FROM t WHERE id=1024;"}},
        // The inserted text is not scanned again.
        {"DSIDX", "SELECT DSID;", {"single|DSIDX|SELECT DSIDX;"}},
        // A list holding "(" is one item; only "=DSID" and "= DSID" are replaced.
        {"IN (1024,15033,16033)",
         "SELECT * FROM rhour WHERE datatype_site_id=DSID;",
         {"list| IN (1024,15033,16033)|SELECT * FROM rhour WHERE datatype_site_id "
          "IN (1024,15033,16033);"}},
        {"IN (1024, 15033)",
         "SELECT * FROM rhour WHERE datatype_site_id= DSID;",
         {"list| IN (1024, 15033)|SELECT * FROM rhour WHERE datatype_site_id IN (1024, 15033);"}},
        {"IN (1)",
         "SELECT DSID FROM t WHERE a=DSID AND b= DSID AND c=dsid AND d=  DSID AND e =DSID;",
         {"list| IN (1)|SELECT DSID FROM t WHERE a IN (1) AND b IN (1) AND c=dsid AND d=  DSID "
          "AND e  IN (1);"}},
        {"0 (1)", byDsid, {"list| 0 (1)|SELECT * FROM rhour WHERE datatype_site_id 0 (1);"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> actual;
        for (const auto& item : MakeDsidItems(c.dsidList, c.statement)) {
            actual.push_back(Describe(item));
        }
        EXPECT_EQ(actual, c.expected) << "DSID list: [" << c.dsidList << "]";
    }
}

TEST(MakeDsidItemsTest, MoreItemsThanASixteenBitCountOverflow) {
    std::string list = "1";
    for (int i = 1; i < 32767; ++i) {
        list += " 1";
    }
    EXPECT_EQ(MakeDsidItems(list, "s;").size(), 32767U);
    list += " 1";
    EXPECT_THROW(MakeDsidItems(list, "s;"), RunError);
}

TEST(SiteQueryTest, DsidTextFollowsDirectly) {
    EXPECT_EQ(SiteQuery("1024"),
              "Select site_name,datatype_name,unit_name,datatype_id, state from rsite where "
              "datatype_site_id=1024");
    EXPECT_EQ(SiteQuery(""),
              "Select site_name,datatype_name,unit_name,datatype_id, state from rsite where "
              "datatype_site_id=");
}

} // namespace
} // namespace rill::sqlexport
