#include "twds/EscapeKey.h"

namespace twds {

EscapeCloses WhatEscapeCloses(const EscapeState& state) {
    if (state.inProblemsPane && state.problemsPaneShown) {
        return EscapeCloses::ProblemsPane;
    }
    if (state.inInspector && state.inspectorShown) {
        return EscapeCloses::Inspector;
    }
    if (state.findBarShown && (state.inFindBar || !state.inspectorShown)) {
        return EscapeCloses::FindBar;
    }
    if (state.compareBarShown && (state.inCompareBar || !state.inspectorShown)) {
        return EscapeCloses::CompareBar;
    }
    if (state.inspectorShown) {
        return EscapeCloses::Inspector;
    }
    return state.problemsPaneShown ? EscapeCloses::ProblemsPane : EscapeCloses::Nothing;
}

}  // namespace twds
