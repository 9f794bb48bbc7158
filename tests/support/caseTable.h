#pragma once

#include "checkFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavrin::testing {

// One row of an error table: a document with '^' at the expected place and
// the detail text expected there. An empty detail means the document passes;
// a full text without place is given as positionless.
struct errorCase {
    std::string document;
    const char* detail = nullptr;
    bool positionless = false;
};

inline void expectOutcomes(const std::vector<errorCase>& table)
{
    for (const errorCase& row : table) {
        SCOPED_TRACE(row.document);
        if (row.detail == nullptr) {
            EXPECT_EQ(checkBytes(row.document), outcome {});
        } else if (row.positionless) {
            EXPECT_EQ(checkBytes(row.document), (outcome { row.detail, 0, 0 }));
        } else {
            const markedDocument marked = unmark(row.document);
            EXPECT_EQ(checkBytes(marked.bytes),
                (outcome { positioned(marked.line, marked.column, row.detail), marked.line, marked.column }));
        }
    }
}

inline errorCase passes(std::string document) { return { std::move(document), nullptr, false }; }
inline errorCase failsAt(std::string document, const char* detail) { return { std::move(document), detail, false }; }
inline errorCase failsWithout(std::string document, const char* text) { return { std::move(document), text, true }; }

} // namespace kavrin::testing
