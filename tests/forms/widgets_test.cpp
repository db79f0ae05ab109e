#include "forms/Component.h"
#include "forms/EventDispatch.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>

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

// Bounds are outer bounds, whenever they are set: before the window exists,
// while it is shown and while it is hidden. The frame is not known before the
// window is first on the screen; the outer bounds asked for are what it gets.
TEST(Form, BoundsAreOuterBoundsWhenEverTheyAreSet) {
    enum TWhen { BeforeShowing, Shown, Hidden };
    const struct {
        TFormBorderStyle Border;
        TWhen When;
        TRect Bounds;
    } cases[] = {
        {bsSizeable, BeforeShowing, {40, 30, 340, 230}},
        {bsSingle, BeforeShowing, {0, 0, 250, 150}},
        {bsSizeable, Shown, {60, 50, 300, 250}},
        {bsSingle, Shown, {10, 5, 210, 105}},
        {bsSizeable, Hidden, {70, 20, 370, 320}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Border) + "/" + std::to_string(c.When));
        TForm form;
        form.resize(200, 100);
        form.SetBorderStyle(c.Border);
        if (c.When != BeforeShowing) ShowAndActivate(form);
        if (c.When == Hidden) form.hide();
        form.SetBounds(c.Bounds);
        EXPECT_EQ(form.BoundsRect(), c.Bounds);
        if (!form.isVisible()) ShowAndActivate(form);
        const QRect outer = form.frameGeometry();
        EXPECT_GT(outer.width(), form.width());
        EXPECT_EQ(form.BoundsRect(), c.Bounds);
        EXPECT_EQ((TRect{outer.left(), outer.top(), outer.right() + 1, outer.bottom() + 1}),
                  c.Bounds);
        form.hide(); // a hidden window keeps the frame it had
        EXPECT_EQ(form.BoundsRect(), c.Bounds);
        form.MoveTo(c.Bounds.Left + 5, c.Bounds.Top + 7);
        ShowAndActivate(form);
        EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(c.Bounds.Left + 5, c.Bounds.Top + 7));
        EXPECT_EQ(form.frameGeometry().size(), outer.size());
    }
}

// Centring places the frame, not the client area, in the middle.
TEST(Form, CentringCentresTheFrame) {
    TForm owner;
    owner.SetBounds({100, 80, 600, 480});
    ShowAndActivate(owner);
    const QRect screen = owner.screen()->geometry();
    const struct {
        TPosition Rule;
        QWidget* Parent;
        QRect Area;
    } cases[] = {
        {poScreenCenter, nullptr, screen},
        {poDesktopCenter, nullptr, owner.screen()->virtualGeometry()},
        {poMainFormCenter, &owner, owner.frameGeometry()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Rule));
        TForm form(c.Parent);
        form.resize(201, 101);
        form.SetPosition(c.Rule);
        ShowAndActivate(form);
        const QRect outer = form.frameGeometry();
        EXPECT_GT(outer.width(), form.width());
        EXPECT_EQ(outer.topLeft(),
                  c.Area.topLeft() + QPoint((c.Area.width() - outer.width()) / 2,
                                            (c.Area.height() - outer.height()) / 2));
    }
}

// From the keyboard the group is one stop: Tab lands on the checked item, or
// the first when none is checked, and leaves the group at the next Tab; the
// arrow keys move the focus and the selection together, round the ends,
// passing over disabled items.
TEST(RadioGroup, Keys) {
    const struct {
        int Index;         // ItemIndex before; item 3 is disabled
        const char* Keys;  // T Tab, B Backtab, U D L R the arrows
        const char* Focus; // after each key: 0..4 an item, b the field before, a the one after
        int After;         // ItemIndex after
        int Clicks;
    } cases[] = {
        {-1, "T", "0", -1, 0},  {2, "T", "2", 2, 0},     {2, "TT", "2a", 2, 0},
        {1, "B", "a", 1, 0},    {1, "TD", "12", 2, 1},   {1, "TDD", "124", 4, 2},
        {0, "TU", "04", 4, 1},  {4, "TR", "40", 0, 1},   {2, "TLL", "210", 0, 2},
        {-1, "TD", "01", 1, 1}, {2, "TDB", "24b", 4, 1}, {-1, "TDTBB", "01a1b", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Index) + c.Keys);
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* group = new TRadioGroup(&window);
        group->setGeometry(0, 30, 185, 200);
        group->SetItems({"A", "B", "C", "D", "E"});
        auto* after = new QLineEdit(&window);
        after->move(0, 240);
        group->Button(3)->setEnabled(false);
        group->SetItemIndex(c.Index);
        int clicks = 0;
        group->OnClick = [&](QObject*) { ++clicks; };
        ShowAndActivate(window);
        before->setFocus();
        auto where = [&](const QWidget* f) {
            for (int i = 0; i < 5; ++i)
                if (group->Button(i) == f) return char('0' + i);
            return f == before ? 'b' : f == after ? 'a' : '?';
        };
        std::string focus;
        for (const char* k = c.Keys; *k; ++k) {
            static const std::map<char, Qt::Key> keys{{'T', Qt::Key_Tab},  {'B', Qt::Key_Backtab},
                                                      {'U', Qt::Key_Up},   {'D', Qt::Key_Down},
                                                      {'L', Qt::Key_Left}, {'R', Qt::Key_Right}};
            QTest::keyClick(QApplication::focusWidget(), keys.at(*k));
            focus += where(QApplication::focusWidget());
        }
        EXPECT_EQ(focus, c.Focus);
        EXPECT_EQ(group->ItemIndex(), c.After);
        EXPECT_EQ(clicks, c.Clicks);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(group->Button(i)->isChecked(), i == c.After);
    }
}

} // namespace
