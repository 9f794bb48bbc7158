#include "codeActions.h"

#include "protocol.h"
#include "repair.h"

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

    bool before(editorPosition a, editorPosition b)
    {
        return a.line < b.line || (a.line == b.line && a.character < b.character);
    }

    // Ranges that overlap or touch.
    bool meet(editorPosition aStart, editorPosition aEnd, editorPosition bStart, editorPosition bEnd)
    {
        return !before(aEnd, bStart) && !before(bEnd, aStart);
    }

    // A diagnostic the editor sent along, where it stands.
    struct sentDiagnostic {
        const json* item = nullptr;
        std::string code;
        editorPosition start;
        editorPosition end;
    };

    std::vector<sentDiagnostic> sentDiagnostics(const json& context)
    {
        std::vector<sentDiagnostic> sent;
        const auto found = context.find("diagnostics");
        if (found == context.end() || !found->is_array())
            return sent;
        for (const json& diagnostic : *found) {
            if (!diagnostic.is_object() || !diagnostic.contains("range"))
                continue;
            const json code = diagnostic.value("code", json());
            const json& range = diagnostic.at("range");
            sent.push_back({ &diagnostic, code.is_string() ? code.get<std::string>() : std::string(),
                protocol::positionFrom(range.at("start")), protocol::positionFrom(range.at("end")) });
        }
        return sent;
    }

} // namespace

repairActions::repairActions(std::string document, std::shared_ptr<const textVersion> version, repairResult repair)
    : uri(std::move(document))
    , text(std::move(version))
    , repaired(std::move(repair))
{
    // An editor's text is decoded already; a conversion of the whole of it
    // cannot be an edit of it.
    if (std::any_of(repaired.changes.begin(), repaired.changes.end(),
            [](const repairChange& c) { return c.kind == changeKind::conversion; }))
        return;
    const std::string_view bytes = text->text();
    std::map<std::string_view, std::size_t> renamed; // the spelling, its group
    for (std::size_t i = 0; i < repaired.changes.size(); ++i) {
        const repairChange& change = repaired.changes[i];
        const std::size_t start = characterStart(bytes, static_cast<std::size_t>(change.offset));
        const std::size_t end = characterEnd(bytes, static_cast<std::size_t>(change.offset + change.length));
        placed.push_back({ i, start, end, text->lines().positionOf(start), text->lines().positionOf(end) });
        // A name spelled wrong is spelled right wherever it stands, so its
        // changes go together.
        if (change.kind != changeKind::rename) {
            groups.push_back({ i });
            continue;
        }
        const auto [group, added] = renamed.try_emplace(change.before, groups.size());
        if (added)
            groups.emplace_back();
        groups[group->second].push_back(i);
    }
    after.resize(groups.size());
}

// The edits of some changes, in file order. Changes whose ranges meet become
// one edit, with the text between them kept: the protocol forbids edits of
// one request to overlap.
json repairActions::editsOf(const std::vector<std::size_t>& changes) const
{
    const std::string_view bytes = text->text();
    json edits = json::array();
    for (std::size_t i = 0; i < changes.size();) {
        const placedChange& first = placed[changes[i]];
        std::size_t end = first.end;
        editorPosition to = first.to;
        std::size_t next = i + 1;
        for (; next < changes.size() && placed[changes[next]].start <= end; ++next)
            if (placed[changes[next]].end > end) {
                end = placed[changes[next]].end;
                to = placed[changes[next]].to;
            }
        std::string newText;
        std::size_t at = first.start;
        for (std::size_t k = i; k < next; ++k) {
            const repairChange& change = repaired.changes[placed[changes[k]].change];
            newText.append(bytes.substr(at, change.offset - at)).append(change.after);
            at = static_cast<std::size_t>(change.offset + change.length);
        }
        newText.append(bytes.substr(at, end - at));
        edits.push_back({ { "range", protocol::rangeJson(first.from, to) }, { "newText", std::move(newText) } });
        i = next;
    }
    return edits;
}

bool repairActions::clearedBy(std::size_t group, std::size_t start, std::size_t end)
{
    const std::vector<std::size_t>& changes = groups[group];
    if (!after[group]) {
        const std::string_view bytes = text->text();
        std::string fixed;
        std::size_t at = 0;
        for (const std::size_t i : changes) {
            const repairChange& change = repaired.changes[i];
            fixed.append(bytes.substr(at, change.offset - at)).append(change.after);
            at = static_cast<std::size_t>(change.offset + change.length);
        }
        fixed.append(bytes.substr(at));
        after[group] = check(source::bytes(fixed), { defaultMaxViolations }).violations;
    }
    // The bytes' place after the changes: a place inside a change stands for
    // all of what replaced it.
    const auto moved = [&](std::size_t offset, bool isEnd) {
        std::ptrdiff_t shift = 0;
        for (const std::size_t i : changes) {
            const repairChange& change = repaired.changes[i];
            if (change.offset + change.length <= offset) {
                shift += static_cast<std::ptrdiff_t>(change.after.size()) - static_cast<std::ptrdiff_t>(change.length);
                continue;
            }
            if (change.offset < offset)
                return static_cast<std::uint64_t>(static_cast<std::ptrdiff_t>(change.offset) + shift)
                    + (isEnd ? change.after.size() : 0);
            break;
        }
        return static_cast<std::uint64_t>(static_cast<std::ptrdiff_t>(offset) + shift);
    };
    const std::uint64_t from = moved(start, false);
    const std::uint64_t to = moved(end, true);
    return std::none_of(after[group]->begin(), after[group]->end(), [&](const violation& left) {
        return left.line != 0 && left.offset <= to && from <= left.offset + left.length;
    });
}

std::string repairActions::answer(const json& params)
{
    const json& context = params.at("context");
    const json& asked = params.at("range");
    const editorPosition askedStart = protocol::positionFrom(asked.at("start"));
    const editorPosition askedEnd = protocol::positionFrom(asked.at("end"));
    const std::vector<sentDiagnostic> diagnostics = sentDiagnostics(context);
    protocol::jsonText actions;
    const auto add = [&](std::string_view action) { actions.raw(actions.text.empty() ? "" : ",").raw(action); };
    const auto edit = [&](const std::vector<std::size_t>& changes) {
        return json { { "changes", { { uri, editsOf(changes) } } } };
    };

    if (!placed.empty() && wanted(context, quickFixKind)) {
        for (std::size_t g = 0; g < groups.size(); ++g) {
            bool touched = false;
            bool claims = false;
            json fixed = json::array();
            for (const std::size_t i : groups[g]) {
                const placedChange& change = placed[i];
                touched = touched || meet(change.from, change.to, askedStart, askedEnd);
                for (const sentDiagnostic& diagnostic : diagnostics) {
                    if (diagnostic.code != repaired.changes[i].code
                        || !meet(diagnostic.start, diagnostic.end, change.from, change.to))
                        continue;
                    claims = true;
                    if (clearedBy(g, text->lines().offsetOf(diagnostic.start), text->lines().offsetOf(diagnostic.end)))
                        fixed.push_back(*diagnostic.item);
                }
            }
            if (!touched && !claims)
                continue;
            std::string title = std::string(quickFixTitle) + changeWhat(repaired.changes[groups[g].front()]);
            if (groups[g].size() > 1)
                title += everywhere;
            json action = { { "title", std::move(title) }, { "kind", quickFixKind }, { "isPreferred", true },
                { "edit", edit(groups[g]) } };
            if (!fixed.empty())
                action["diagnostics"] = std::move(fixed);
            add(action.dump(-1, ' ', false, json::error_handler_t::replace));
        }
    }
    if (!placed.empty() && wanted(context, fixAllKind)) {
        // The same for every request of this version, and as large as the
        // repair: made once.
        if (!fixAll) {
            std::vector<std::size_t> all(placed.size());
            for (std::size_t i = 0; i < all.size(); ++i)
                all[i] = i;
            const json action = { { "title", std::string(fixAllTitle) + " (" + std::to_string(all.size()) + ")" },
                { "kind", fixAllKind }, { "edit", edit(all) } };
            fixAll = action.dump(-1, ' ', false, json::error_handler_t::replace);
        }
        add(*fixAll);
    }
    return "[" + actions.text + "]";
}

} // namespace kavrin::lsp
