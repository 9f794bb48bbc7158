#pragma once

#include "positions.h"
#include "repair.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace kavrin::lsp {

// The kinds kavrin-lsp offers: a quick fix for each repairable violation, and
// all safe fixes of the document at once.
inline constexpr std::string_view quickFixKind = "quickfix";
inline constexpr std::string_view fixAllKind = "source.fixAll.kavrin";

// The answer to textDocument/codeAction for the text of the document and its
// repair: the repairs that touch the asked range, and the fix-all action, as
// far as the context's "only" lets them. An edit never changes more than its
// repair.
nlohmann::json codeActions(const std::string& uri, std::string_view text, const repairResult& repaired,
    const nlohmann::json& params, positionEncoding encoding);

} // namespace kavrin::lsp
