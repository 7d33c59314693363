#pragma once

namespace twds {

// Where the user stands when Esc is pressed in the viewer's windows: which
// of the closable parts are open and whether the focus is in one of them.
struct EscapeState {
    bool findBarShown = false;
    bool inFindBar = false;
    bool compareBarShown = false;
    bool inCompareBar = false;
    bool inspectorShown = false;
    bool inInspector = false;
    bool problemsPaneShown = false;
    bool inProblemsPane = false;
};

enum class EscapeCloses { Nothing, FindBar, CompareBar, Inspector, ProblemsPane };

// What one Esc closes: the window the user is in when it is the inspector
// or the problems pane; else a bar when the user is in it or no inspector
// is open (the find and compare bars take turns, so one at most is shown);
// else the inspector, else the problems pane.
[[nodiscard]] EscapeCloses WhatEscapeCloses(const EscapeState& state);

}  // namespace twds
