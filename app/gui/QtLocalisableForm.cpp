#include "twds/QtLocalisableForm.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>

#include "twds/Cp1252.h"

namespace twds {

namespace {

QString Shown(std::string_view text) {
    return Cp1252ToQString(text);
}

std::string TagOf(const QObject* object) {
    if (object == nullptr) {
        return {};
    }
    return QStringToCp1252(object->property(QtLocalisableForm::kTagProperty).toString());
}

}  // namespace

class QtLocalisableForm::Control : public LocalisableControl {
public:
    explicit Control(QObject* object) : object_(object) {}

    [[nodiscard]] std::string name() const override {
        return object_ ? QStringToCp1252(object_->objectName()) : std::string();
    }
    [[nodiscard]] std::string tag() const override { return TagOf(object_); }

    bool setCaption(std::string_view text) override {
        if (auto* button = qobject_cast<QAbstractButton*>(object_)) {
            button->setText(Shown(text));
        } else if (auto* label = qobject_cast<QLabel*>(object_)) {
            label->setText(Shown(text));
        } else if (auto* group = qobject_cast<QGroupBox*>(object_)) {
            group->setTitle(Shown(text));
        } else if (auto* menu = qobject_cast<QMenu*>(object_)) {
            menu->setTitle(Shown(text));
        } else if (auto* action = qobject_cast<QAction*>(object_)) {
            action->setText(Shown(text));
        } else {
            return false;
        }
        return true;
    }

    bool setToolTipText(std::string_view text) override {
        if (auto* widget = qobject_cast<QWidget*>(object_)) {
            widget->setToolTip(Shown(text));
        } else if (auto* action = qobject_cast<QAction*>(object_)) {
            action->setToolTip(Shown(text));
        } else {
            return false;
        }
        return true;
    }

    bool setLocked(bool locked) override {
        if (auto* line = qobject_cast<QLineEdit*>(object_)) {
            line->setReadOnly(locked);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(object_)) {
            plain->setReadOnly(locked);
        } else if (auto* rich = qobject_cast<QTextEdit*>(object_)) {
            rich->setReadOnly(locked);
        } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(object_)) {
            spin->setReadOnly(locked);
        } else {
            return false;
        }
        return true;
    }

    bool setEnabled(bool enabled) override {
        if (auto* widget = qobject_cast<QWidget*>(object_)) {
            widget->setEnabled(enabled);
        } else if (auto* action = qobject_cast<QAction*>(object_)) {
            action->setEnabled(enabled);
        } else {
            return false;
        }
        return true;
    }

    [[nodiscard]] int tabCount() const override {
        const auto* tabs = qobject_cast<const QTabWidget*>(object_.data());
        return tabs != nullptr ? tabs->count() : 0;
    }
    [[nodiscard]] std::string tabCaption(int tab) const override {
        const auto* tabs = qobject_cast<const QTabWidget*>(object_.data());
        return tabs != nullptr ? QStringToCp1252(tabs->tabText(tab)) : std::string();
    }
    bool setTabCaption(int tab, std::string_view text) override {
        auto* tabs = qobject_cast<QTabWidget*>(object_);
        if (tabs == nullptr || tab < 0 || tab >= tabs->count()) {
            return false;
        }
        tabs->setTabText(tab, Shown(text));
        return true;
    }

private:
    QPointer<QObject> object_;
};

class QtLocalisableForm::CoolBar : public LocalisableCoolBar {
public:
    explicit CoolBar(QWidget* bar) {
        for (QToolBar* band : bar->findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly)) {
            bands_.emplace_back(band);
        }
    }

    [[nodiscard]] int bandCount() const override { return static_cast<int>(bands_.size()); }
    bool setBandCaption(int band, std::string_view text) override {
        if (band < 1 || band > bandCount() || bands_[band - 1].isNull()) {
            return false;
        }
        bands_[band - 1]->setWindowTitle(Shown(text));
        return true;
    }

private:
    std::vector<QPointer<QToolBar>> bands_;
};

class QtLocalisableForm::SubComponent : public SelfLocalising {
public:
    explicit SubComponent(QObject* object) : object_(object) {}
    void reloadTexts() override {
        if (object_) {
            QMetaObject::invokeMethod(object_, "Load_Ressource", Qt::DirectConnection);
        }
    }
    [[nodiscard]] const QObject* object() const { return object_.data(); }

private:
    QPointer<QObject> object_;
};

QtLocalisableForm::QtLocalisableForm(QWidget& form) : form_(&form) {
    for (QObject* child : form.findChildren<QObject*>()) {
        const QString name = child->objectName();
        const bool isControl =
            qobject_cast<QWidget*>(child) != nullptr || qobject_cast<QAction*>(child) != nullptr;
        if (isControl && !name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) {
            controls_.push_back(std::make_unique<Control>(child));
        }
    }
}

QtLocalisableForm::~QtLocalisableForm() = default;

std::string QtLocalisableForm::tag() const {
    return TagOf(form_);
}

bool QtLocalisableForm::setCaption(std::string_view text) {
    if (!form_) {
        return false;
    }
    form_->setWindowTitle(Shown(text));
    return true;
}

bool QtLocalisableForm::setHelpContextId(std::int32_t id) {
    if (!form_) {
        return false;
    }
    form_->setProperty(kHelpContextProperty, id);
    return true;
}

int QtLocalisableForm::controlCount() const {
    return static_cast<int>(controls_.size());
}

LocalisableControl* QtLocalisableForm::control(int index) {
    if (index < 0 || index >= controlCount()) {
        return nullptr;
    }
    return controls_[static_cast<std::size_t>(index)].get();
}

LocalisableCoolBar* QtLocalisableForm::coolBar() {
    if (!form_) {
        return nullptr;
    }
    if (!coolBar_) {
        auto* bar = form_->findChild<QWidget*>(QStringLiteral("CoolBar1"));
        if (bar == nullptr) {
            return nullptr;
        }
        coolBar_ = std::make_unique<CoolBar>(bar);
    }
    return coolBar_.get();
}

SelfLocalising* QtLocalisableForm::subComponent(std::string_view memberName) {
    if (!form_) {
        return nullptr;
    }
    const QString name =
        QString::fromLatin1(memberName.data(), static_cast<qsizetype>(memberName.size()));
    auto* object = form_->findChild<QObject*>(name);
    if (object == nullptr || object->metaObject()->indexOfMethod("Load_Ressource()") < 0) {
        return nullptr;
    }
    for (const auto& known : subComponents_) {
        if (known->object() == object) {
            return known.get();
        }
    }
    subComponents_.push_back(std::make_unique<SubComponent>(object));
    return subComponents_.back().get();
}

}  // namespace twds
