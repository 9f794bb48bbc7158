#include "codeActions.h"

#include "protocol.h"
#include "repair.h"
#include "repairTexts.h"

#include <algorithm>
#include <map>

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
    std::vector<std::vector<std::size_t>> groupsOf(const std::vector<repairChange>& changes)
    {
        std::vector<std::vector<std::size_t>> groups;
        std::map<std::string_view, std::size_t> renamed; // the spelling, its group
        for (std::size_t i = 0; i < changes.size(); ++i) {
            if (changes[i].what != repairTexts::elementCase) {
                groups.push_back({ i });
                continue;
            }
            const auto [group, added] = renamed.try_emplace(changes[i].before, groups.size());
            if (added)
                groups.emplace_back();
            groups[group->second].push_back(i);
        }
        return groups;
    }

    // A change as an edit of the editor's text: its bytes widened to whole
    // characters, and where they stand.
    struct placedChange {
        const repairChange* change = nullptr;
        std::size_t start = 0;
        std::size_t end = 0;
        editorPosition from;
        editorPosition to;
    };

    std::vector<placedChange> placed(std::string_view text, const repairResult& repaired, positionEncoding encoding)
    {
        positionFinder find(text, encoding);
        std::vector<placedChange> all;
        for (const repairChange& change : repaired.changes) {
            const std::size_t start = characterStart(text, static_cast<std::size_t>(change.offset));
            const std::size_t end = characterEnd(text, static_cast<std::size_t>(change.offset + change.length));
            const editorPosition from = find.at(start);
            all.push_back({ &change, start, end, from, find.at(end) });
        }
        return all;
    }

    // The edits of some changes, in file order. Changes whose ranges meet
    // become one edit, with the text between them kept: the protocol
    // forbids edits of one request to overlap.
    json editsOf(std::string_view text, const std::vector<const placedChange*>& changes)
    {
        json edits = json::array();
        for (std::size_t i = 0; i < changes.size();) {
            std::size_t end = changes[i]->end;
            editorPosition to = changes[i]->to;
            std::size_t next = i + 1;
            for (; next < changes.size() && changes[next]->start <= end; ++next)
                if (changes[next]->end > end) {
                    end = changes[next]->end;
                    to = changes[next]->to;
                }
            std::string newText;
            std::size_t at = changes[i]->start;
            for (std::size_t k = i; k < next; ++k) {
                const repairChange& change = *changes[k]->change;
                newText.append(text.substr(at, change.offset - at)).append(change.after);
                at = static_cast<std::size_t>(change.offset + change.length);
            }
            newText.append(text.substr(at, end - at));
            edits.push_back(
                { { "range", protocol::rangeJson(changes[i]->from, to) }, { "newText", std::move(newText) } });
            i = next;
        }
        return edits;
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

    const std::vector<placedChange> all = placed(text, repaired, encoding);
    const auto edit = [&](const std::vector<const placedChange*>& changes) {
        return json { { "changes", { { uri, editsOf(text, changes) } } } };
    };
    const json diagnostics = context.value("diagnostics", json::array());

    if (wanted(context, quickFixKind)) {
        for (const std::vector<std::size_t>& group : groupsOf(repaired.changes)) {
            json fixed = json::array();
            bool touched = false;
            std::vector<const placedChange*> changes;
            for (const std::size_t i : group) {
                const json range = protocol::rangeJson(all[i].from, all[i].to);
                touched = touched || meet(range, asked);
                for (const json& diagnostic : diagnostics)
                    if (diagnostic.is_object() && diagnostic.value("code", json()) == all[i].change->code
                        && diagnostic.contains("range") && meet(diagnostic.at("range"), range))
                        fixed.push_back(diagnostic);
                changes.push_back(&all[i]);
            }
            if (!touched && fixed.empty())
                continue;
            std::string title = std::string(quickFixTitle) + changeWhat(*changes.front()->change);
            if (group.size() > 1)
                title += everywhere;
            json action = { { "title", std::move(title) }, { "kind", quickFixKind }, { "isPreferred", true },
                { "edit", edit(changes) } };
            if (!fixed.empty())
                action["diagnostics"] = std::move(fixed);
            actions.push_back(std::move(action));
        }
    }
    if (wanted(context, fixAllKind)) {
        std::vector<const placedChange*> changes;
        for (const placedChange& change : all)
            changes.push_back(&change);
        actions.push_back({ { "title", std::string(fixAllTitle) + " (" + std::to_string(all.size()) + ")" },
            { "kind", fixAllKind }, { "edit", edit(changes) } });
    }
    return actions;
}

} // namespace kavrin::lsp
