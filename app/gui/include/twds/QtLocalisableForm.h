#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "twds/LocalisableForm.h"

namespace twds {

// Lets the form localisation walk a Qt window. The window's and each
// control's tag is the dynamic property "Tag" (Latin-1 text such as
// "_CAP_5101"); a control's name is its objectName.
//
// The controls are the window's named descendant widgets and actions, in
// creation order (Qt's own inner widgets, named "qt_...", are left out).
// Captions go to a button's or label's text, a group box's or menu's title, an
// action's text; tooltips to toolTip; Locked to the read-only state of text
// boxes; Enabled to any widget or action. A tab widget's tab captions are its
// tabs' texts. The cool bar is a child widget named "CoolBar1" whose bands are
// its direct QToolBar children, each band's caption its window title. A
// sub-component is a child object named as the window's member (for example
// "Activity1") with an invokable Load_Ressource() method.
//
// The window must outlive the adapter; build one adapter per walk, since it
// lists the controls when it is made.
class QtLocalisableForm : public LocalisableForm {
public:
    explicit QtLocalisableForm(QWidget& form);
    ~QtLocalisableForm() override;
    QtLocalisableForm(const QtLocalisableForm&) = delete;
    QtLocalisableForm& operator=(const QtLocalisableForm&) = delete;

    [[nodiscard]] std::string tag() const override;
    bool setCaption(std::string_view text) override;
    bool setHelpContextId(std::int32_t id) override;
    [[nodiscard]] int controlCount() const override;
    [[nodiscard]] LocalisableControl* control(int index) override;
    [[nodiscard]] LocalisableCoolBar* coolBar() override;
    [[nodiscard]] SelfLocalising* subComponent(std::string_view memberName) override;

    // The dynamic property that holds the help context id the walk sets.
    static constexpr const char* kHelpContextProperty = "HelpContextID";
    static constexpr const char* kTagProperty = "Tag";

private:
    class Control;
    class CoolBar;
    class SubComponent;

    QPointer<QWidget> form_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<CoolBar> coolBar_;
    std::vector<std::unique_ptr<SubComponent>> subComponents_;
};

}  // namespace twds
