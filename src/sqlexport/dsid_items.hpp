#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rill::sqlexport {

enum class ItemKind {
    Zero,   // "0": the statement runs unchanged
    List,   // holds "(": replaces "=DSID" and "= DSID", e.g. IN (1024,15033)
    Single, // one DSID (or an empty item): replaces every DSID, site header from rsite
};

// One item of the DSID list and the statement it runs.
struct DsidItem {
    ItemKind kind = ItemKind::Single;
    std::string dsidText;  // what replaces the token; "0" for a zero item
    std::string statement; // the statement to run and echo
};

// Every occurrence of `token`, left to right, replaced; the inserted text is not scanned again.
std::string ReplaceAll(std::string_view text, std::string_view token, std::string_view replacement);

// The items of a DSID list with their statements. A list holding "(" is one item; otherwise it
// is cut at every blank, so two blanks in a row make an empty item. An empty list has none.
// Throws RunError ("Overflow") for more items than a 16-bit count holds.
std::vector<DsidItem> MakeDsidItems(std::string_view dsidList, std::string_view statement);

// The rsite query of a single DSID.
std::string SiteQuery(std::string_view dsidText);

} // namespace rill::sqlexport
