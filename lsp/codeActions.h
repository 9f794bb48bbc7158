#pragma once

#include "kavrin.h"
#include "positions.h"
#include "repair.h"
#include "textVersion.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavrin::lsp {

// The kinds kavrin-lsp offers: a quick fix for each repairable violation, and
// all safe fixes of the document at once.
inline constexpr std::string_view quickFixKind = "quickfix";
inline constexpr std::string_view fixAllKind = "source.fixAll.kavrin";

// The repair of one version of a text as code actions: its changes placed in
// the editor's lines and grouped into actions once, and for each action, when
// first asked, the check of the text after it. An editor asks at every move
// of the cursor.
class repairActions {
public:
    repairActions(std::string uri, std::shared_ptr<const textVersion> text, repairResult repaired);

    // The answer to textDocument/codeAction: the repairs that touch the
    // asked range, and the fix-all action, as far as the context's "only"
    // lets them. An edit never changes more than its repair; an action
    // names only the diagnostics it removes. JSON text: the fix-all action of
    // a large repair is written once for the version.
    std::string answer(const nlohmann::json& params);

private:
    // A change as an edit of the editor's text: its bytes widened to whole
    // characters, and where they stand.
    struct placedChange {
        std::size_t change = 0;
        std::size_t start = 0;
        std::size_t end = 0;
        editorPosition from;
        editorPosition to;
    };

    nlohmann::json editsOf(const std::vector<std::size_t>& changes) const;
    // Whether the text after a group's changes has no violation at the bytes
    // from start to end of the text before.
    bool clearedBy(std::size_t group, std::size_t start, std::size_t end);

    std::string uri;
    std::shared_ptr<const textVersion> text;
    repairResult repaired;
    std::vector<placedChange> placed;
    std::vector<std::vector<std::size_t>> groups;
    // For each group once asked: the violations of the text after it.
    std::vector<std::optional<std::vector<violation>>> after;
    std::optional<std::string> fixAll;
};

} // namespace kavrin::lsp
