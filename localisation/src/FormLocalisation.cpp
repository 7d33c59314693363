#include "twds/FormLocalisation.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

#include "twds/Ascii.h"
#include "twds/Catalogue.h"

namespace twds {

namespace {

constexpr std::int32_t kDefaultHelpContext = 6;
constexpr int kFirstBandId = 180;

// Positions in a control tag (0-based here).
constexpr std::size_t kKindStart = 1;
constexpr std::size_t kKindLength = 3;
constexpr std::size_t kIdStart = 5;

// The help topics that windows of the manager's tools name in their tags.
constexpr std::array<std::pair<std::string_view, std::int32_t>, 5> kHelpTopics{{
    {"HELP_Setting", 6},
    {"HELP_TGT", 21},
    {"HELP_TRSCodeOP", 80},
    {"HELP_Jrn", 110},
    {"HELP_helpcenter", 116},
}};

// Runs one step of the walk. A property that an adapter cannot set may throw;
// the step is then skipped and the walk goes on.
template <typename Step>
void Try(Step&& step) {
    try {
        std::forward<Step>(step)();
    } catch (const std::exception&) {
    }
}

std::string_view Kind(std::string_view tag) {
    return tag.size() > kKindStart ? tag.substr(kKindStart, kKindLength) : std::string_view{};
}

std::string_view TextId(std::string_view tag) {
    return tag.size() > kIdStart ? tag.substr(kIdStart) : std::string_view{};
}

void AskToLoad(LocalisableForm& form, std::string_view memberName) {
    if (SelfLocalising* component = form.subComponent(memberName)) {
        component->reloadTexts();
    }
}

void LocaliseControl(LocalisableForm& form, LocalisableControl& control,
                     const CatalogueLookup& lookup) {
    const std::string tag = control.tag();
    if (tag.empty()) {
        return;
    }
    const auto kind = Kind(tag);
    const auto id = TextId(tag);
    if (kind == "CAP") {
        Try([&] { control.setCaption(lookup(id)); });
    } else if (kind == "TOL") {
        Try([&] { control.setToolTipText(lookup(id)); });
    } else if (kind == "MNU") {
        Try([&] {
            if (control.name() != "mnuLang") {
                control.setCaption(lookup(id));
            }
        });
    } else if (kind == "TAB") {
        int tabs = 0;
        Try([&] { tabs = control.tabCount(); });
        for (int tab = 0; tab < tabs; ++tab) {
            Try([&] { control.setTabCaption(tab, lookup(control.tabCaption(tab))); });
        }
    } else if (kind == "TBL") {
        LocalisableCoolBar* bar = nullptr;
        Try([&] { bar = form.coolBar(); });
        int bands = 0;
        if (bar != nullptr) {
            Try([&] { bands = bar->bandCount(); });
        }
        for (int band = 1; band <= bands; ++band) {
            Try([&] { bar->setBandCaption(band, lookup(std::to_string(kFirstBandId + band))); });
        }
    } else if (kind == "CTL") {
        Try([&] {
            const std::string name = AsciiUpper(control.name());
            if (name == "ACTIVITY1") {
                AskToLoad(form, "Activity1");
            } else if (name == "PLANNING") {
                AskToLoad(form, "Planning");
            } else if (name == "TOPO") {
                AskToLoad(form, "topo");
            } else if (name == "CMSGQ") {
                AskToLoad(form, "cMsgQ");
            }
        });
    }
}

void ApplyRights(LocalisableForm& form, LocalisableControl& control) {
    const std::string name = control.name();
    if (name.starts_with("frm") || AsciiUpper(name.substr(0, 5)) == "TIMER" || name == "Mainfrm") {
        return;
    }
    const std::string tag = control.tag();
    if (tag.empty()) {
        return;
    }
    // A "0" or "1" marker would test the user's level; the viewer has no
    // users, so every control ends up unlocked and enabled.
    Try([&] { control.setLocked(false); });
    Try([&] { control.setEnabled(true); });
    if (Kind(tag) == "CTL") {
        const std::string upperName = AsciiUpper(name);
        if (upperName == "ACTIVITY1") {
            Try([&] { AskToLoad(form, "Activity1"); });
        } else if (upperName == "PLANNING") {
            Try([&] { AskToLoad(form, "Planning"); });
        }
    }
}

template <typename Visit>
void ForEachControl(LocalisableForm& form, Visit&& visit) {
    int count = 0;
    Try([&] { count = form.controlCount(); });
    for (int index = 0; index < count; ++index) {
        Try([&] {
            if (LocalisableControl* control = form.control(index)) {
                visit(*control);
            }
        });
    }
}

}  // namespace

void LocaliseForm(LocalisableForm& form, const CatalogueLookup& lookup) {
    Try([&] { form.initCommonControls(); });
    std::string tag;
    Try([&] { tag = form.tag(); });
    if (!tag.empty()) {
        Try([&] { form.setCaption(lookup(TextIdFromTag(tag))); });
        Try([&] { form.setHelpContextId(HelpContextFromTag(tag)); });
    }
    ApplyUserRights(form);
    ForEachControl(form,
                   [&](LocalisableControl& control) { LocaliseControl(form, control, lookup); });
}

void LocaliseForm(LocalisableForm& form, Catalogue& catalogue) {
    LocaliseForm(form, [&catalogue](std::string_view id) { return catalogue.text(id); });
}

void ApplyUserRights(LocalisableForm& form) {
    ForEachControl(form, [&](LocalisableControl& control) { ApplyRights(form, control); });
}

std::int32_t HelpContextFromTag(std::string_view tag) {
    const auto hash = tag.find('#');
    return hash == std::string_view::npos ? kDefaultHelpContext : HelpTopicId(tag.substr(0, hash));
}

std::string TextIdFromTag(std::string_view tag) {
    const auto hash = tag.find('#');
    return std::string(hash == std::string_view::npos ? tag : tag.substr(hash + 1));
}

std::int32_t HelpTopicId(std::string_view name) {
    const auto found = std::find_if(kHelpTopics.begin(), kHelpTopics.end(),
                                    [&](const auto& topic) { return topic.first == name; });
    return found == kHelpTopics.end() ? 0 : found->second;
}

}  // namespace twds
