#include "twds/QtLocalisableForm.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "QtPrinters.h"
#include "twds/FormLocalisation.h"

namespace twds {
namespace {

// A sub-component that localises itself when asked.
class Activity : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    int loads = 0;
public slots:
    void Load_Ressource() { ++loads; }
};

// A window with every kind of tag the main window does not use.
struct TestWindow {
    QWidget form;
    QPushButton* button = new QPushButton(QStringLiteral("design"), &form);
    QLabel* label = new QLabel(&form);
    QLineEdit* edit = new QLineEdit(&form);
    QGroupBox* group = new QGroupBox(&form);
    QTabWidget* tabs = new QTabWidget(&form);
    QMenu* menu = new QMenu(&form);
    QAction* mnuFile = new QAction(&form);
    QAction* mnuLang = new QAction(QStringLiteral("Language"), &form);
    QWidget* coolBar = new QWidget(&form);
    QToolBar* band1 = new QToolBar(coolBar);
    QToolBar* band2 = new QToolBar(coolBar);
    Activity* activity = new Activity(&form);

    TestWindow() {
        form.setProperty("Tag", QStringLiteral("HELP_Jrn#100"));
        Name(button, "cmdOk", "_CAP_101");
        Name(label, "lbInfo", "xTOL_102");
        Name(edit, "txtValue", "0CAP_101");  // a text box has no caption
        edit->setReadOnly(true);
        edit->setEnabled(false);
        Name(group, "fraBox", "_CAP_103");
        Name(menu, "mnuTop", "_MNU_104");
        Name(mnuFile, "mnuFile", "_MNU_105");
        Name(mnuLang, "mnuLang", "_MNU_105");
        tabs->setObjectName(QStringLiteral("tabPages"));
        tabs->setProperty("Tag", QStringLiteral("_TAB_"));
        tabs->addTab(new QWidget, QStringLiteral("110"));
        tabs->addTab(new QWidget, QStringLiteral("111"));
        Name(coolBar, "CoolBar1", "");
        Name(band1, "tbMain", "_TBL_999");
        band2->setObjectName(QStringLiteral("tbView"));
        Name(activity, "Activity1", "_CTL_");
    }

    static void Name(QObject* object, const char* name, const char* tag) {
        object->setObjectName(QString::fromLatin1(name));
        object->setProperty("Tag", QString::fromLatin1(tag));
    }
};

CatalogueLookup TestCatalogue() {
    static const std::map<std::string, std::string, std::less<>> texts{
        {"100", "Journal window"}, {"101", "&OK"},      {"102", "Info tip"}, {"103", "Options"},
        {"104", "&File"},          {"105", "&Open"},    {"110", "First"},    {"111", "Second \xE9"},
        {"181", "Main band"},      {"182", "View band"}};
    return [](std::string_view id) {
        const auto found = texts.find(id);
        return found == texts.end() ? std::string() : found->second;
    };
}

TEST(QtLocalisableForm, EveryTagKindReachesItsPropertyAndRightsEnable) {
    TestWindow w;
    QtLocalisableForm adapter(w.form);
    LocaliseForm(adapter, TestCatalogue());

    EXPECT_EQ(w.form.windowTitle(), QStringLiteral("Journal window"));
    EXPECT_EQ(w.form.property(QtLocalisableForm::kHelpContextProperty).toInt(), 110);
    EXPECT_EQ(w.button->text(), QStringLiteral("&OK"));
    EXPECT_EQ(w.label->toolTip(), QStringLiteral("Info tip"));
    EXPECT_EQ(w.group->title(), QStringLiteral("Options"));
    EXPECT_EQ(w.menu->title(), QStringLiteral("&File"));
    EXPECT_EQ(w.mnuFile->text(), QStringLiteral("&Open"));
    EXPECT_EQ(w.mnuLang->text(), QStringLiteral("Language"));
    EXPECT_EQ(w.tabs->tabText(0), QStringLiteral("First"));
    EXPECT_EQ(w.tabs->tabText(1), QString::fromUtf8("Second é"));
    EXPECT_EQ(w.band1->windowTitle(), QStringLiteral("Main band"));
    EXPECT_EQ(w.band2->windowTitle(), QStringLiteral("View band"));
    // Asked by the rights rule and by the CTL rule.
    EXPECT_EQ(w.activity->loads, 2);
    // The text box has no caption: its text stays, and the walk went on to
    // the controls after it. Being tagged, it is unlocked and enabled.
    EXPECT_EQ(w.edit->text(), QString());
    EXPECT_FALSE(w.edit->isReadOnly());
    EXPECT_TRUE(w.edit->isEnabled());
}

TEST(QtLocalisableForm, AWindowWithoutCoolBarOrTagKeepsItsTitle) {
    QWidget form;
    form.setWindowTitle(QStringLiteral("kept"));
    auto* button = new QPushButton(QStringLiteral("old"), &form);
    TestWindow::Name(button, "cmd", "_CAP");  // too short: empty id, empty text
    QtLocalisableForm adapter(form);
    EXPECT_EQ(adapter.coolBar(), nullptr);
    LocaliseForm(adapter, TestCatalogue());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("kept"));
    EXPECT_EQ(button->text(), QString());
}

}  // namespace
}  // namespace twds

#include "QtLocalisableFormTest.moc"
