#pragma once

namespace twds {

// An embedded sub-component of a window that fetches its own catalogue texts
// when asked (a "CTL" tag in its window).
class SelfLocalising {
public:
    virtual ~SelfLocalising() = default;
    virtual void reloadTexts() = 0;
};

}  // namespace twds
