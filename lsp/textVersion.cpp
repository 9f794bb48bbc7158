#include "textVersion.h"

namespace kavrin::lsp {

textVersion::textVersion(std::string text, positionEncoding encoding)
    : bytes(std::move(text))
    , counting(encoding)
{
}

const lineIndex& textVersion::lines() const
{
    if (!index)
        index.emplace(bytes, counting);
    return *index;
}

const std::vector<tagScan::tag>& textVersion::tags() const
{
    if (!tagList)
        tagList = tagScan::tagsOf(bytes);
    return *tagList;
}

} // namespace kavrin::lsp
