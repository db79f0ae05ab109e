#include "Component.h"
#include "EventDispatch.h"
#include "Form.h"
#include "StdCtrls.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class LoggingComponent : public TComponent {
public:
    LoggingComponent(QStringList& Log, QObject* Owner) : TComponent(Owner), FLog(Log) {}
    void Loaded() override { FLog << QStringLiteral("Loaded"); }

private:
    QStringList& FLog;
};

// A form that writes its events into a log, each with whether its component
// is still there.
class EventForm : public TForm {
public:
    explicit EventForm(QStringList& Log) {
        auto* component = new LoggingComponent(Log, this);
        component->setObjectName(QStringLiteral("Component1"));
        auto log = [this, &Log](const char* Event) {
            return [this, &Log, Event](QObject* Sender) {
                EXPECT_EQ(Sender, this);
                Log << QString::fromLatin1(Event) +
                           (findChild<LoggingComponent*>() ? QString() : QStringLiteral(" alone"));
            };
        };
        OnCreate = log("Create");
        OnShow = log("Show");
        OnHide = log("Hide");
        OnActivate = log("Activate");
        OnDestroy = log("Destroy");
        resize(200, 100);
        FinishCreate();
    }
    ~EventForm() override { BeforeDestruction(); }
};

std::string Joined(const QStringList& L) {
    return L.join(u',').toStdString();
}

void ShowAndActivate(QWidget& W) {
    W.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&W));
    QCoreApplication::processEvents();
}

TEST(Form, EventsFollowTheFormsLife) {
    QStringList log;
    auto* form = new EventForm(log);
    EXPECT_EQ(Joined(log), "Loaded,Create");
    log.clear();

    ShowAndActivate(*form);
    form->SetWindowState(wsMinimized); // minimising and restoring is neither hide nor show
    QTest::qWait(20);
    form->SetWindowState(wsNormal);
    QTest::qWait(20);
    form->hide();
    EXPECT_EQ(Joined(log), "Show,Activate,Hide");
    log.clear();

    ShowAndActivate(*form); // a second showing activates again
    TForm other;
    ShowAndActivate(other);
    form->activateWindow(); // back from another window of the program
    EXPECT_TRUE(QTest::qWaitForWindowActive(form));
    EXPECT_EQ(Joined(log), "Show,Activate,Activate");
    log.clear();

    delete form; // visible: hidden first, components still there
    EXPECT_EQ(Joined(log), "Hide,Destroy");
}

TEST(Form, ReplacedHandlersChainAndErrorsAreShown) {
    QStringList log;
    QStringList errors;
    SetEventErrorSink([&](const QString& m) { errors << m; });
    {
        EventForm form(log);
        const TNotifyEvent saved = form.OnShow;
        form.OnShow = [&, saved](QObject* Sender) {
            log << QStringLiteral("Hook");
            saved(Sender);
            throw std::runtime_error("Chyba č. 1");
        };
        form.SetPosition(poDesktopCenter);
        log.clear();
        form.show();
        // The error is shown and the showing goes on: placed, visible.
        EXPECT_EQ(Joined(log), "Hook,Show");
        EXPECT_EQ(errors, QStringList({QStringLiteral("Chyba č. 1")}));
        EXPECT_TRUE(form.isVisible());
        const QRect desk = form.screen()->virtualGeometry();
        EXPECT_EQ(form.frameGeometry().center(), desk.center());
    }
    SetEventErrorSink({});
}

TEST(Owner, IsTheEnclosingFormOrFrame) {
    TForm form;
    auto named = [](auto* o, const char* name) {
        o->setObjectName(QString::fromLatin1(name));
        return o;
    };
    auto* group = named(new QGroupBox(&form), "GroupBox1");
    auto* inGroup = named(new QLineEdit(group), "eCode");
    auto* frame = named(new TFrame(group), "OptionsPanel");
    auto* inFrame = named(new QLineEdit(frame), "NameEdit");
    auto* component = named(new TComponent(group), "Saver");
    auto* sub = named(new TComponent(component), "StdCtrl");
    auto* menu = new QMenu(&form);
    auto* action = named(new QAction(menu), "miSave");
    auto* tabs = named(new QTabWidget(&form), "Pages");
    auto* page = named(new QWidget, "Page1");
    tabs->addTab(page, QStringLiteral("One"));
    auto* onPage = named(new QLineEdit(page), "ePage");

    const struct {
        QObject* Object;
        QObject* Owner;
    } cases[] = {
        {inGroup, &form}, {frame, &form},  {inFrame, frame}, {component, &form},
        {sub, component}, {action, &form}, {onPage, &form},  {&form, nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComponentOwner(c.Object), c.Owner) << c.Object->objectName().toStdString();

    EXPECT_EQ(FindOwnedComponent(&form, QStringLiteral("ECODE")), inGroup);
    EXPECT_EQ(FindOwnedComponent(&form, QStringLiteral("NameEdit")), nullptr);
    EXPECT_EQ(FindOwnedComponent(frame, QStringLiteral("nameedit")), inFrame);
    EXPECT_EQ(FindOwnedComponent(&form, QString()), nullptr);
    EXPECT_EQ(ContainedControls(tabs), QList<QWidget*>({page}));
    EXPECT_EQ(ContainedControls(group), QList<QWidget*>({inGroup, frame}));
    EXPECT_TRUE(ContainedControls(inGroup).isEmpty());
}

TEST(RadioGroup, ItemIndexAndClicks) {
    TRadioGroup group;
    group.resize(185, 200);
    group.SetItems({"A", "B", "C"});
    int clicks = 0;
    group.OnClick = [&](QObject* Sender) {
        EXPECT_EQ(Sender, &group);
        ++clicks;
    };
    const struct {
        int Set, Index, Clicks;
    } cases[] = {{1, 1, 1}, {1, 1, 1}, {7, 2, 2}, {-5, -1, 3}, {-1, -1, 3}, {0, 0, 4}};
    for (const auto& c : cases) {
        group.SetItemIndex(c.Set);
        EXPECT_EQ(group.ItemIndex(), c.Index) << c.Set;
        EXPECT_EQ(clicks, c.Clicks) << c.Set;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(group.Button(i)->isChecked(), i == c.Index);
    }

    group.show();
    const QPoint indicator(6, group.Button(2)->height() / 2);
    QTest::mouseClick(group.Button(2), Qt::LeftButton, {}, indicator);
    EXPECT_EQ(group.ItemIndex(), 2);
    QTest::mouseClick(group.Button(2), Qt::LeftButton, {}, indicator); // checked: no change
    EXPECT_EQ(clicks, 5);

    group.SetItems({"A", "B"});
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_TRUE(group.Button(1)->isChecked());
    EXPECT_EQ(group.Caption(), QString());
    EXPECT_TRUE(group.Button(1)->objectName().isEmpty());
}

} // namespace
