#include <gtest/gtest.h>

#include "twds/EscapeKey.h"

namespace twds {
namespace {

// One Esc, one thing closed, whichever window has the focus.
TEST(EscapeKeyTest, ClosesWhereTheUserIsThenTheBarThenTheInspectorThenThePane) {
    using enum EscapeCloses;
    struct Case {
        EscapeState state;
        EscapeCloses closes;
    };
    const Case cases[] = {
        {{}, Nothing},
        {{.findBarShown = true}, FindBar},
        {{.findBarShown = true, .inspectorShown = true}, Inspector},
        {{.findBarShown = true, .inFindBar = true, .inspectorShown = true}, FindBar},
        {{.compareBarShown = true}, CompareBar},
        {{.compareBarShown = true, .inspectorShown = true}, Inspector},
        {{.compareBarShown = true, .inCompareBar = true, .inspectorShown = true}, CompareBar},
        {{.findBarShown = true, .inFindBar = true, .inspectorShown = true, .inInspector = true},
         Inspector},
        {{.findBarShown = true, .problemsPaneShown = true, .inProblemsPane = true}, ProblemsPane},
        {{.inspectorShown = true, .problemsPaneShown = true}, Inspector},
        {{.inspectorShown = true, .problemsPaneShown = true, .inProblemsPane = true}, ProblemsPane},
        {{.problemsPaneShown = true}, ProblemsPane},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(WhatEscapeCloses(cases[i].state), cases[i].closes) << "case " << i;
    }
}

}  // namespace
}  // namespace twds
