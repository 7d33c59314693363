#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "MemoryRegistry.h"
#include "TempFolder.h"
#include "twds/Catalogue.h"
#include "twds/FormLocalisation.h"

namespace twds {
namespace {

// A control with the properties a test gives it; the others are missing.
class FakeControl : public LocalisableControl {
public:
    struct Properties {
        bool caption = true;
        bool toolTip = false;
        bool locked = false;
        bool enabled = true;
        bool throws = false;  // every property fails with an exception
    };

    FakeControl(std::string name, std::string tag, Properties properties)
        : name_(std::move(name)), tag_(std::move(tag)), properties_(properties) {}

    [[nodiscard]] std::string name() const override { return name_; }
    [[nodiscard]] std::string tag() const override { return tag_; }

    bool setCaption(std::string_view text) override {
        return set(properties_.caption, caption, std::string(text));
    }
    bool setToolTipText(std::string_view text) override {
        return set(properties_.toolTip, toolTip, std::string(text));
    }
    bool setLocked(bool value) override { return set(properties_.locked, locked, value); }
    bool setEnabled(bool value) override { return set(properties_.enabled, enabled, value); }

    [[nodiscard]] int tabCount() const override { return static_cast<int>(tabs.size()); }
    [[nodiscard]] std::string tabCaption(int tab) const override {
        if (tabs.at(static_cast<std::size_t>(tab)) == "broken") {
            throw std::runtime_error("no caption");
        }
        return tabs.at(static_cast<std::size_t>(tab));
    }
    bool setTabCaption(int tab, std::string_view text) override {
        tabs.at(static_cast<std::size_t>(tab)) = std::string(text);
        return true;
    }

    std::optional<std::string> caption;
    std::optional<std::string> toolTip;
    std::optional<bool> locked;
    std::optional<bool> enabled;
    std::vector<std::string> tabs;

private:
    template <typename T>
    bool set(bool supported, std::optional<T>& property, T value) {
        if (properties_.throws) {
            throw std::runtime_error("property failed");
        }
        if (!supported) {
            return false;
        }
        property = std::move(value);
        return true;
    }

    std::string name_;
    std::string tag_;
    Properties properties_;
};

class FakeCoolBar : public LocalisableCoolBar {
public:
    explicit FakeCoolBar(int bands) : captions(static_cast<std::size_t>(bands)) {}
    [[nodiscard]] int bandCount() const override { return static_cast<int>(captions.size()); }
    bool setBandCaption(int band, std::string_view text) override {
        captions.at(static_cast<std::size_t>(band - 1)) = std::string(text);
        return true;
    }
    std::vector<std::string> captions;
};

class FakeComponent : public SelfLocalising {
public:
    void reloadTexts() override { ++loads; }
    int loads = 0;
};

class FakeForm : public LocalisableForm {
public:
    explicit FakeForm(std::string tag) : tag_(std::move(tag)) {}

    FakeControl& add(std::string name, std::string tag, FakeControl::Properties properties = {}) {
        controls_.push_back(
            std::make_unique<FakeControl>(std::move(name), std::move(tag), properties));
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
    [[nodiscard]] LocalisableCoolBar* coolBar() override { return bar.get(); }
    void initCommonControls() override { commonControlsReady = caption.empty(); }
    [[nodiscard]] SelfLocalising* subComponent(std::string_view memberName) override {
        const auto found = components.find(std::string(memberName));
        return found == components.end() ? nullptr : &found->second;
    }

    std::string caption;
    std::optional<std::int32_t> helpContextId;
    bool commonControlsReady = false;
    std::unique_ptr<FakeCoolBar> bar;
    std::map<std::string, FakeComponent> components;

private:
    std::string tag_;
    std::vector<std::unique_ptr<FakeControl>> controls_;
};

// A catalogue lookup over fixed texts, recording the ids asked for.
struct FakeCatalogue {
    std::map<std::string, std::string, std::less<>> texts = {
        {"5001", "Display Tidewell userspace"},
        {"5101", "&Display"},
        {"5102", "&Exit"},
        {"5251", "Target machine IP Address"},
        {"5401", "Field name"},
        {"5402", "Data"},
        {"181", "Band one"},
        {"182", "Band two"},
        {"183", "Band three"},
    };
    std::vector<std::string> asked;

    CatalogueLookup lookup() {
        return [this](std::string_view id) {
            asked.emplace_back(id);
            const auto found = texts.find(id);
            return found == texts.end() ? std::string() : found->second;
        };
    }
};

constexpr FakeControl::Properties kTextBox{.caption = false, .toolTip = true, .locked = true};

// The window's tag is a text id, or a help topic, "#" and a text id.
TEST(LocaliseForm, LocalisesTheMainWindow) {
    for (const auto& [windowTag, helpContextId] : {std::pair{"5001", 6}, {"HELP_Jrn#5001", 110}}) {
        SCOPED_TRACE(windowTag);
        FakeForm form(windowTag);
        auto& display = form.add("btnDsp", "_CAP_5101");
        auto& cancel = form.add("btnCancel", "_CAP_5102");
        auto& label = form.add("lbTgtMachine", "_CAP_5251");
        auto& address = form.add("txtIpAddress", "", kTextBox);
        FakeCatalogue catalogue;

        LocaliseForm(form, catalogue.lookup());

        EXPECT_TRUE(form.commonControlsReady) << "prepared before any text is set";
        EXPECT_EQ(form.caption, "Display Tidewell userspace");
        EXPECT_EQ(form.helpContextId, helpContextId);
        EXPECT_EQ(display.caption, "&Display");
        EXPECT_EQ(cancel.caption, "&Exit");
        EXPECT_EQ(label.caption, "Target machine IP Address");
        for (auto* control : {&display, &cancel, &label}) {
            EXPECT_EQ(control->enabled, true) << control->name();
            EXPECT_FALSE(control->locked.has_value()) << "buttons and labels have no Locked";
        }
        EXPECT_FALSE(address.caption || address.enabled || address.locked) << "untagged: untouched";
    }
}

// The kind is read at positions 2-4 and the id from position 6, whatever the
// other characters are.
TEST(LocaliseForm, AppliesEachKindReadAtItsTagPositions) {
    FakeForm form("");
    auto& odd = form.add("a", "XCAPY5101");
    auto& shortTag = form.add("b", "_CAP");
    auto& idOnly = form.add("c", "_CAP_");
    auto& lowercase = form.add("d", "_cap_5101");
    auto& unknownKind = form.add("e", "_XYZ_5101");
    shortTag.caption = "design";
    idOnly.caption = "design";
    auto& tip = form.add("txtAddress", "_TOL_5251", kTextBox);
    auto& menu = form.add("mnuFile", "_MNU_5102");
    auto& languageMenu = form.add("mnuLang", "_MNU_5102");
    languageMenu.caption = "English";
    auto& tabs = form.add("SSTab1", "_TAB_9999", {.caption = false});
    tabs.tabs = {"5401", "5402", "not an id"};
    form.add("tbrMain", "_TBL_0001");
    form.bar = std::make_unique<FakeCoolBar>(3);
    FakeCatalogue catalogue;

    LocaliseForm(form, catalogue.lookup());

    EXPECT_EQ(form.caption, "") << "an empty window tag sets no caption";
    EXPECT_FALSE(form.helpContextId.has_value());
    EXPECT_EQ(odd.caption, "&Display");
    EXPECT_EQ(shortTag.caption, "") << "a short tag gives an empty id";
    EXPECT_EQ(idOnly.caption, "");
    EXPECT_FALSE(lowercase.caption.has_value());
    EXPECT_FALSE(unknownKind.caption.has_value());
    EXPECT_EQ(unknownKind.enabled, true) << "rights apply to every tagged control";
    EXPECT_EQ(tip.toolTip, "Target machine IP Address");
    EXPECT_FALSE(tip.caption.has_value());
    EXPECT_EQ(menu.caption, "&Exit");
    EXPECT_EQ(languageMenu.caption, "English");
    EXPECT_EQ(tabs.tabs, (std::vector<std::string>{"Field name", "Data", ""}));
    EXPECT_EQ(form.bar->captions, (std::vector<std::string>{"Band one", "Band two", "Band three"}));
    EXPECT_EQ(std::count(catalogue.asked.begin(), catalogue.asked.end(), "9999"), 0);
}

TEST(LocaliseForm, AsksSubComponentsToLocaliseThemselves) {
    FakeForm form("5001");
    form.components["Activity1"];
    form.components["Planning"];
    form.components["topo"];
    form.components["cMsgQ"];
    form.add("activity1", "_CTL_");
    form.add("PLANNING", "_CTL_");
    form.add("Topo", "_CTL_");
    form.add("cMsgQ", "_CTL_");
    form.add("Other", "_CTL_");
    FakeCatalogue catalogue;

    LocaliseForm(form, catalogue.lookup());

    // Activity1 and Planning are also asked by the rights rule.
    EXPECT_EQ(form.components["Activity1"].loads, 2);
    EXPECT_EQ(form.components["Planning"].loads, 2);
    EXPECT_EQ(form.components["topo"].loads, 1);
    EXPECT_EQ(form.components["cMsgQ"].loads, 1);
}

TEST(LocaliseForm, SkipsWhatFailsAndGoesOn) {
    FakeForm form("5001");
    form.add("throwing", "_CAP_5101", {.throws = true});
    form.addGap();
    auto& tabs = form.add("SSTab1", "_TAB_", {.caption = false});
    tabs.tabs = {"broken", "5402"};
    form.add("tbrMain", "_TBL_");    // no cool bar on this window
    form.add("Activity1", "_CTL_");  // no such member
    auto& after = form.add("btnDsp", "_CAP_5101");
    FakeCatalogue catalogue;

    LocaliseForm(form, catalogue.lookup());

    EXPECT_EQ(tabs.tabs, (std::vector<std::string>{"broken", "Data"}));
    EXPECT_EQ(after.caption, "&Display");
    EXPECT_EQ(after.enabled, true);
    EXPECT_EQ(form.caption, "Display Tidewell userspace");
}

TEST(LocaliseForm, UsesTheCatalogue) {
    test::TempFolder programs;
    test::MemoryRegistry registry;
    programs.write("twmgr.ressource.EN", "5001\tTitle &1\r\n5101\t&Display\r\n");
    Catalogue catalogue(registry, programs.path(), nullptr);
    FakeForm form("5001");
    auto& button = form.add("btnDsp", "_CAP_5101");

    LocaliseForm(form, catalogue);

    EXPECT_EQ(form.caption, "Title ") << "placeholders are emptied";
    EXPECT_EQ(button.caption, "&Display");
}

TEST(ApplyUserRights, SkipsWindowsTimersAndUntaggedControls) {
    FakeForm form("");
    const FakeControl::Properties lockable{.locked = true};
    std::vector<FakeControl*> skipped = {
        &form.add("frmChild", "_CAP_1", lockable), &form.add("Timer1", "_CAP_1", lockable),
        &form.add("tImEr", "_CAP_1", lockable),    &form.add("Mainfrm", "_CAP_1", lockable),
        &form.add("txtName", "", lockable),
    };
    std::vector<FakeControl*> permitted = {
        &form.add("FrmLike", "_CAP_1", lockable),    &form.add("Time", "_CAP_1", lockable),
        &form.add("mainfrm", "_CAP_1", lockable),    &form.add("txtRights0", "0CAP_1", lockable),
        &form.add("txtRights1", "1TOL_1", lockable),
    };

    ApplyUserRights(form);

    for (const auto* control : skipped) {
        EXPECT_FALSE(control->enabled || control->locked) << control->name();
    }
    for (const auto* control : permitted) {
        EXPECT_EQ(control->enabled, true) << control->name();
        EXPECT_EQ(control->locked, false) << control->name();
    }
    EXPECT_TRUE(form.caption.empty()) << "texts are not its business";
}

TEST(HelpContext, FromTheTopicBeforeTheFirstHash) {
    EXPECT_EQ(HelpContextFromTag("5001"), 6);
    EXPECT_EQ(HelpContextFromTag("HELP_Jrn#5001"), 110);
    EXPECT_EQ(HelpContextFromTag("HELP_helpcenter#1#2"), 116);
    EXPECT_EQ(HelpContextFromTag("HELP_Unknown#5001"), 0);
    EXPECT_EQ(HelpContextFromTag("#5001"), 0);
    EXPECT_EQ(HelpTopicId("HELP_Setting"), 6);
    EXPECT_EQ(HelpTopicId("HELP_TGT"), 21);
    EXPECT_EQ(HelpTopicId("HELP_TRSCodeOP"), 80);
    EXPECT_EQ(HelpTopicId("help_jrn"), 0) << "case-sensitive";

    EXPECT_EQ(TextIdFromTag("5001"), "5001");
    EXPECT_EQ(TextIdFromTag("HELP_Jrn#5001"), "5001");
    EXPECT_EQ(TextIdFromTag("a#b#c"), "b#c");
    EXPECT_EQ(TextIdFromTag("a#"), "");
}

}  // namespace
}  // namespace twds
