#pragma once

#include <string>
#include <string_view>

namespace twds {

// One control of a window as the form localisation sees it: a name, a tag
// that says which text it takes, and the properties that text may go to.
// Texts are Windows-1252 bytes. A control lacks most properties: each setter
// returns false when the control has no such property (the defaults below),
// and the localisation then goes on with its next step. Adapters may also
// throw a std::exception for a property that fails; that step is skipped too.
class LocalisableControl {
public:
    virtual ~LocalisableControl() = default;

    [[nodiscard]] virtual std::string name() const = 0;
    [[nodiscard]] virtual std::string tag() const = 0;

    virtual bool setCaption(std::string_view /*text*/) { return false; }
    virtual bool setToolTipText(std::string_view /*text*/) { return false; }
    virtual bool setLocked(bool /*locked*/) { return false; }
    virtual bool setEnabled(bool /*enabled*/) { return false; }

    // Tab controls: the number of tabs and each tab's caption, counted from 0.
    [[nodiscard]] virtual int tabCount() const { return 0; }
    [[nodiscard]] virtual std::string tabCaption(int /*tab*/) const { return {}; }
    virtual bool setTabCaption(int /*tab*/, std::string_view /*text*/) { return false; }
};

}  // namespace twds
