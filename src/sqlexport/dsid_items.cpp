#include "sqlexport/dsid_items.hpp"

#include "common/run_error.hpp"
#include "common/text.hpp"

namespace rill::sqlexport {

namespace {
constexpr std::size_t kMaxItems = 32767;

DsidItem MakeItem(std::string_view rawItem, std::string_view statement) {
    const std::string_view item = TrimBlanks(rawItem);
    DsidItem result;
    if (item == "0") {
        result.kind = ItemKind::Zero;
        result.dsidText = std::string(item);
        result.statement = std::string(statement);
    } else if (item.find('(') != std::string_view::npos) {
        result.kind = ItemKind::List;
        result.dsidText.reserve(item.size() + 1);
        result.dsidText.push_back(' ');
        result.dsidText.append(item);
        result.statement =
            ReplaceAll(ReplaceAll(statement, "=DSID", result.dsidText), "= DSID", result.dsidText);
    } else {
        result.kind = ItemKind::Single;
        result.dsidText = std::string(item);
        result.statement = ReplaceAll(statement, "DSID", result.dsidText);
    }
    return result;
}
} // namespace

std::string
ReplaceAll(std::string_view text, std::string_view token, std::string_view replacement) {
    std::string out;
    if (token.empty()) {
        return std::string(text);
    }
    out.reserve(text.size());
    std::size_t start = 0;
    while (true) {
        const auto pos = text.find(token, start);
        if (pos == std::string_view::npos) {
            out.append(text.substr(start));
            return out;
        }
        out.append(text.substr(start, pos - start));
        out.append(replacement);
        start = pos + token.size();
    }
}

std::vector<DsidItem> MakeDsidItems(std::string_view dsidList, std::string_view statement) {
    std::vector<DsidItem> items;
    if (dsidList.empty()) {
        return items;
    }
    if (dsidList.find('(') != std::string_view::npos) {
        items.push_back(MakeItem(dsidList, statement));
        return items;
    }
    const std::vector<std::string> pieces = SplitAll(dsidList, ' ');
    if (pieces.size() > kMaxItems) {
        throw RunError("Overflow: the DSID list holds " + std::to_string(pieces.size()) +
                       " items, more than 32767");
    }
    items.reserve(pieces.size());
    for (const auto& piece : pieces) {
        items.push_back(MakeItem(piece, statement));
    }
    return items;
}

std::string SiteQuery(std::string_view dsidText) {
    return "Select site_name,datatype_name,unit_name,datatype_id, state from rsite where "
           "datatype_site_id=" +
           std::string(dsidText);
}

} // namespace rill::sqlexport
