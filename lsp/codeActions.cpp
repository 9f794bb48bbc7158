#include "codeActions.h"

#include "diagnostics.h"
#include "protocol.h"
#include "repair.h"
#include "repairTexts.h"

#include <algorithm>

namespace kavrin::lsp {

namespace {

    using nlohmann::json;

    constexpr std::string_view quickFixTitle = "Korrigieren: ";
    constexpr std::string_view everywhere = " (überall)";
    constexpr std::string_view fixAllTitle = "Alles sicher Korrigierbare korrigieren";

    // A kind is wanted when "only" is absent, or names it or a kind it
    // belongs to ("source" for "source.fixAll.kavrin").
    bool wanted(const json& context, std::string_view kind)
    {
        const auto only = context.find("only");
        if (only == context.end() || !only->is_array())
            return true;
        return std::any_of(only->begin(), only->end(), [kind](const json& asked) {
            if (!asked.is_string())
                return false;
            const std::string& prefix = asked.get_ref<const std::string&>();
            return kind == prefix
                || (kind.substr(0, prefix.size()) == prefix && kind.size() > prefix.size()
                    && kind[prefix.size()] == '.');
        });
    }

    editorPosition positionIn(const json& range, const char* end) { return protocol::positionFrom(range.at(end)); }

    bool before(editorPosition a, editorPosition b)
    {
        return a.line < b.line || (a.line == b.line && a.character < b.character);
    }

    // Ranges that overlap or touch.
    bool meet(const json& a, const json& b)
    {
        return !before(positionIn(a, "end"), positionIn(b, "start"))
            && !before(positionIn(b, "end"), positionIn(a, "start"));
    }

    // The fixes of one action: a name spelled wrong is spelled right wherever
    // it stands, so its changes go together.
    std::vector<std::vector<const repairChange*>> groupsOf(const std::vector<repairChange>& changes)
    {
        std::vector<std::vector<const repairChange*>> groups;
        for (const repairChange& change : changes) {
            const bool renames = change.what == repairTexts::elementCase;
            const auto same = std::find_if(groups.begin(), groups.end(), [&](const auto& group) {
                return renames && group.front()->what == change.what && group.front()->before == change.before;
            });
            if (same != groups.end())
                same->push_back(&change);
            else
                groups.push_back({ &change });
        }
        return groups;
    }

} // namespace

json codeActions(const std::string& uri, std::string_view text, const repairResult& repaired, const json& params,
    positionEncoding encoding)
{
    const json& context = params.at("context");
    const json& asked = params.at("range");
    json actions = json::array();
    // An editor's text is decoded already; a conversion of the whole of it
    // cannot be an edit of it.
    const bool wholeFile = std::any_of(
        repaired.changes.begin(), repaired.changes.end(), [](const repairChange& c) { return c.line == 0; });
    if (repaired.changes.empty() || wholeFile)
        return actions;

    // Each change's range, found once: finding one reads the text up to it.
    std::vector<json> ranges;
    for (const repairChange& change : repaired.changes)
        ranges.push_back(rangeOfBytes(text, change.offset, change.offset + change.length, encoding));
    const auto rangeOf = [&](const repairChange* change) -> const json& {
        return ranges[std::size_t(change - repaired.changes.data())];
    };
    const auto edits = [&](const std::vector<const repairChange*>& changes) {
        json list = json::array();
        for (const repairChange* change : changes)
            list.push_back({ { "range", rangeOf(change) }, { "newText", change->after } });
        return json { { "changes", { { uri, std::move(list) } } } };
    };
    const json diagnostics = context.value("diagnostics", json::array());

    if (wanted(context, quickFixKind)) {
        for (const auto& group : groupsOf(repaired.changes)) {
            json fixed = json::array();
            bool touched = false;
            for (const repairChange* change : group) {
                const json& range = rangeOf(change);
                touched = touched || meet(range, asked);
                for (const json& diagnostic : diagnostics)
                    if (diagnostic.is_object() && diagnostic.value("code", json()) == change->code
                        && diagnostic.contains("range") && meet(diagnostic.at("range"), range))
                        fixed.push_back(diagnostic);
            }
            if (!touched && fixed.empty())
                continue;
            const repairChange& first = *group.front();
            std::string title = std::string(quickFixTitle) + changeWhat(first);
            if (group.size() > 1)
                title += everywhere;
            json action = { { "title", std::move(title) }, { "kind", quickFixKind }, { "isPreferred", true },
                { "edit", edits(group) } };
            if (!fixed.empty())
                action["diagnostics"] = std::move(fixed);
            actions.push_back(std::move(action));
        }
    }
    if (wanted(context, fixAllKind)) {
        std::vector<const repairChange*> all;
        for (const repairChange& change : repaired.changes)
            all.push_back(&change);
        actions.push_back({ { "title", std::string(fixAllTitle) + " (" + std::to_string(all.size()) + ")" },
            { "kind", fixAllKind }, { "edit", edits(all) } });
    }
    return actions;
}

} // namespace kavrin::lsp
