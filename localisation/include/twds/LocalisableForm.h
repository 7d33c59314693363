#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "twds/LocalisableControl.h"
#include "twds/LocalisableCoolBar.h"
#include "twds/SelfLocalising.h"

namespace twds {

// A loaded window as the form localisation sees it: its own tag and caption,
// its controls by index, and the optional parts that some windows have (a
// cool bar, embedded sub-components). Pointers returned stay valid for the
// duration of one localisation walk; null means the window has no such part.
class LocalisableForm {
public:
    virtual ~LocalisableForm() = default;

    [[nodiscard]] virtual std::string tag() const = 0;
    virtual bool setCaption(std::string_view text) = 0;
    virtual bool setHelpContextId(std::int32_t /*id*/) { return false; }

    [[nodiscard]] virtual int controlCount() const = 0;
    [[nodiscard]] virtual LocalisableControl* control(int index) = 0;

    // The control named "CoolBar1".
    [[nodiscard]] virtual LocalisableCoolBar* coolBar() { return nullptr; }
    // Prepares the platform's common controls before any text is set.
    virtual void initCommonControls() {}
    // The window's member sub-component "Activity1", "Planning", "topo" or
    // "cMsgQ" (exact spelling).
    [[nodiscard]] virtual SelfLocalising* subComponent(std::string_view /*memberName*/) {
        return nullptr;
    }
};

}  // namespace twds
