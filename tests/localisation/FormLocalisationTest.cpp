#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "twds/FormLocalisation.h"

namespace twds {
namespace {

// Records what is set; a throwing control fails every setter.
class FakeControl : public LocalisableControl {
public:
    FakeControl(std::string name, std::string tag, bool throws)
        : name_(std::move(name)), tag_(std::move(tag)), throws_(throws) {}

    [[nodiscard]] std::string name() const override { return name_; }
    [[nodiscard]] std::string tag() const override { return tag_; }
    bool setCaption(std::string_view text) override { return set(caption, std::string(text)); }
    bool setToolTipText(std::string_view text) override { return set(toolTip, std::string(text)); }
    bool setLocked(bool value) override { return set(locked, value); }
    bool setEnabled(bool value) override { return set(enabled, value); }

    std::optional<std::string> caption, toolTip;
    std::optional<bool> locked, enabled;

private:
    template <typename T>
    bool set(std::optional<T>& property, T value) {
        if (throws_) {
            throw std::runtime_error("property failed");
        }
        property = std::move(value);
        return true;
    }

    std::string name_, tag_;
    bool throws_;
};

class FakeForm : public LocalisableForm {
public:
    explicit FakeForm(std::string tag) : tag_(std::move(tag)) {}

    FakeControl& add(std::string name, std::string tag, bool throws = false) {
        controls_.push_back(std::make_unique<FakeControl>(std::move(name), std::move(tag), throws));
        return *controls_.back();
    }
    void addGap() { controls_.push_back(nullptr); }

    [[nodiscard]] std::string tag() const override { return tag_; }
    bool setCaption(std::string_view text) override {
        caption = std::string(text);
        return true;
    }
    bool setHelpContextId(std::int32_t id) override {
        helpContextId = id;
        return true;
    }
    [[nodiscard]] int controlCount() const override { return static_cast<int>(controls_.size()); }
    [[nodiscard]] LocalisableControl* control(int index) override {
        return controls_.at(static_cast<std::size_t>(index)).get();
    }

    std::string caption;
    std::optional<std::int32_t> helpContextId;

private:
    std::string tag_;
    std::vector<std::unique_ptr<FakeControl>> controls_;
};

// A catalogue lookup that shows which id it was asked for.
std::string Lookup(std::string_view id) {
    return "text " + std::string(id);
}

// The kind is read at positions 2-4 and the id from position 6, whatever the
// other characters are; the window's tag is a help topic, "#" and a text id.
TEST(LocaliseForm, AppliesEachKindReadAtItsTagPositions) {
    FakeForm form("HELP_Jrn#5001");
    auto& odd = form.add("a", "XCAPY5101");
    auto& shortTag = form.add("b", "_CAP");
    auto& idOnly = form.add("c", "_CAP_");
    auto& lowercase = form.add("d", "_cap_5101");
    auto& unknownKind = form.add("e", "_XYZ_5101");
    shortTag.caption = idOnly.caption = "design";
    auto& tip = form.add("txtAddress", "_TOL_5251");
    auto& untagged = form.add("txtIpAddress", "");
    auto& menu = form.add("mnuFile", "_MNU_5102");
    auto& languageMenu = form.add("mnuLang", "_MNU_5102");
    languageMenu.caption = "English";

    LocaliseForm(form, Lookup);

    EXPECT_EQ(form.caption, "text 5001");
    EXPECT_EQ(form.helpContextId, 110);
    EXPECT_EQ(odd.caption, "text 5101");
    EXPECT_EQ(shortTag.caption, "text ") << "a short tag gives an empty id";
    EXPECT_EQ(idOnly.caption, "text ");
    EXPECT_FALSE(lowercase.caption || unknownKind.caption || tip.caption);
    EXPECT_EQ(unknownKind.enabled, true) << "rights apply to every tagged control";
    EXPECT_EQ(tip.toolTip, "text 5251");
    EXPECT_EQ(tip.locked, false);
    EXPECT_FALSE(untagged.toolTip || untagged.enabled || untagged.locked);
    EXPECT_EQ(menu.caption, "text 5102");
    EXPECT_EQ(languageMenu.caption, "English");
}

TEST(LocaliseForm, SkipsWhatFailsAndGoesOn) {
    FakeForm form("5001");
    form.add("throwing", "_CAP_5101", true);
    form.addGap();
    form.add("tbrMain", "_TBL_");    // no cool bar on this window
    form.add("Activity1", "_CTL_");  // no such member
    auto& after = form.add("btnDsp", "_CAP_5101");

    LocaliseForm(form, Lookup);

    EXPECT_EQ(after.caption, "text 5101");
    EXPECT_EQ(after.enabled, true);
    EXPECT_EQ(form.caption, "text 5001");
    EXPECT_EQ(form.helpContextId, 6);
}

// Windows, timers and untagged controls keep their state; the viewer has no
// users, so the others end up unlocked and enabled whatever their level.
TEST(ApplyUserRights, SkipsWindowsTimersAndUntaggedControls) {
    FakeForm form("");
    for (const char* name :
         {"frmChild", "Timer1", "tImEr", "Mainfrm", "FrmLike", "Time", "mainfrm"}) {
        form.add(name, "_CAP_1");
    }
    form.add("txtName", "");
    form.add("txtRights0", "0CAP_1");
    form.add("txtRights1", "1TOL_1");

    ApplyUserRights(form);

    std::string changed;
    for (int index = 0; index < form.controlCount(); ++index) {
        const auto& control = static_cast<const FakeControl&>(*form.control(index));
        if (control.enabled || control.locked) {
            changed +=
                control.name() + (control.enabled == true && control.locked == false ? " " : "? ");
        }
        EXPECT_FALSE(control.toolTip.has_value()) << "texts are not its business";
    }
    EXPECT_EQ(changed, "FrmLike Time mainfrm txtRights0 txtRights1 ");
}

TEST(HelpContext, FromTheTopicBeforeTheFirstHash) {
    EXPECT_EQ(HelpContextFromTag("HELP_helpcenter#1#2"), 116);
    EXPECT_EQ(HelpContextFromTag("#5001"), 0);
    EXPECT_EQ(HelpTopicId("HELP_Setting"), 6);
    EXPECT_EQ(HelpTopicId("HELP_TRSCodeOP"), 80);
    EXPECT_EQ(HelpTopicId("help_jrn"), 0) << "case-sensitive";
    EXPECT_EQ(TextIdFromTag("a#b#c"), "b#c");
}

}  // namespace
}  // namespace twds
