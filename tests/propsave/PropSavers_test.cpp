#include "complib/bImprovedComps.h"
#include "forms/EventDispatch.h"
#include "forms/StdCtrls.h"
#include "propsave/PropSaveMain.h"
#include "tests/FileContent.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

// Found by ADL: TRect is a global type.
static void PrintTo(const TRect& r, std::ostream* os) {
    *os << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
}

namespace {

std::string S(const QString& s) {
    return s.toStdString();
}

template <class T> T* Make(QWidget* Parent, const char* Name) {
    auto* w = new T(Parent);
    w->setObjectName(QString::fromLatin1(Name));
    return w;
}

// A form with a control of every class the savers know, some in a group box,
// on a tab page and in a frame, and the two settings components.
class SaverForm : public TForm {
public:
    explicit SaverForm(const QString& File, const std::function<void(SaverForm&)>& Setup = {}) {
        setObjectName(QStringLiteral("Main"));
        SetClientSize(400, 300);
        memo = Make<QPlainTextEdit>(this, "mNotes");
        Make<QTextEdit>(this, "mRich");
        list = Make<QListWidget>(this, "lbList");
        multi = Make<QListWidget>(this, "lbMulti");
        multi->setSelectionMode(QAbstractItemView::MultiSelection);
        checks = Make<TCheckListBox>(this, "clbChecks");
        recent = Make<QListWidget>(this, "lbRecent_nostore");
        combo = Make<QComboBox>(this, "cbList");
        comboEdit = Make<QComboBox>(this, "cbEdit");
        comboEdit->setEditable(true);
        check = Make<QCheckBox>(this, "chBox");
        radios = Make<TRadioGroup>(this, "bcType");
        radios->SetItems({"A", "B", "C"});
        Make<QRadioButton>(this, "rbOne");
        radio2 = Make<QRadioButton>(this, "rbTwo");
        group = Make<QGroupBox>(this, "GroupBox1");
        edit = Make<QLineEdit>(group, "eCode");
        number = Make<TbEditNum>(group, "eBorder");
        Make<QLabel>(group, "Label1");
        auto* unnamed = new QWidget(group);
        Make<QLineEdit>(unnamed, "eHidden");
        action = new QAction(this);
        action->setObjectName(QStringLiteral("miOption"));
        action->setCheckable(true);
        tabs = Make<QTabBar>(this, "tcTabs");
        for (const char* t : {"one", "two", "three"})
            tabs->addTab(QString::fromLatin1(t));
        pages = Make<QTabWidget>(this, "pcPages");
        pages->addTab(Make<QWidget>(nullptr, "tsOne"), QStringLiteral("One"));
        auto* page2 = Make<QWidget>(nullptr, "tsTwo");
        pages->addTab(page2, QStringLiteral("Two"));
        Make<QLineEdit>(page2, "ePage");
        color = Make<TColorBox>(this, "cbColor");
        date = Make<TDateTimePicker>(this, "dtpDate");
        date->SetShowCheckbox(true);
        plainDate = Make<QDateEdit>(this, "dtpPlain");
        nameEdit = Make<QLineEdit>(Make<TFrame>(this, "OptionsPanel"), "NameEdit");

        file = new TPropSaveFile(this);
        file->setObjectName(QStringLiteral("PropSaveFile1"));
        file->SetFileName(File);
        saver = new TPropSaveMain(this);
        saver->setObjectName(QStringLiteral("PropSaveMain1"));
        saver->SetPropSaveFile(file);
        saver->PropSaveEvents = pseFormShowHide;
        OnShow = [this](QObject*) { ++shows; };
        if (Setup) Setup(*this);
        FinishCreate();
    }
    ~SaverForm() override { BeforeDestruction(); }

    QPlainTextEdit* memo;
    QListWidget *list, *multi, *recent;
    TCheckListBox* checks;
    QComboBox *combo, *comboEdit;
    QCheckBox* check;
    TRadioGroup* radios;
    QRadioButton* radio2;
    QGroupBox* group;
    QLineEdit *edit, *nameEdit;
    TbEditNum* number;
    QAction* action;
    QTabBar* tabs;
    QTabWidget* pages;
    TColorBox* color;
    TDateTimePicker* date;
    QDateEdit* plainDate;
    TPropSaveFile* file;
    TPropSaveMain* saver;
    int shows = 0;
};

class Savers : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        SetEventErrorSink([this](const QString& m) { Errors << m; });
    }
    void TearDown() override {
        SetEventErrorSink({});
        QLocale::setDefault(QLocale::system());
    }
    QString Text() const { return QString::fromUtf8(ReadAll(Ini)); }
    void Put(const QString& Content) const { WriteAll(Ini, Content.toUtf8()); }
    // The lines of one section in the file ("" when it is missing).
    QString Section(const QString& Name) const {
        const QString text = Text();
        const qsizetype at = text.indexOf(u'[' + Name + QStringLiteral("]\r\n"));
        if (at < 0) return QString();
        const qsizetype from = at + Name.size() + 4;
        return text.mid(from, text.indexOf(QStringLiteral("\r\n\r\n"), from) + 2 - from)
            .replace(QStringLiteral("\r\n"), QStringLiteral("|"));
    }
    // Shows and closes a form: one read and one write.
    static void Cycle(SaverForm& F, const std::function<void()>& WhileShown = {}) {
        F.show();
        QCoreApplication::processEvents();
        if (WhileShown) WhileShown();
        F.hide();
    }

    QTemporaryDir Dir;
    QString Ini = Dir.filePath(QStringLiteral("gen.ini"));
    QStringList Errors;
};

// One row per control class: the line of StdCtrl.Components, how the test
// changes the control and what the file then holds.
struct ControlCase {
    const char* Line;
    const char* Section;
    void (*Change)(SaverForm&);
    const char* Stored;
};

const ControlCase controlCases[] = {
    {"mNotes", "Main.mNotes", [](SaverForm& f) { f.memo->setPlainText("a\tb\n\nc"); },
     "ItemsCount=3|Item0=a_#9_b|Item1=|Item2=c|"},
    {"mRich", "Main.mRich", [](SaverForm&) {}, "ItemsCount=0|"},
    {"lbList", "Main.lbList",
     [](SaverForm& f) {
         f.list->addItems({"x", "y"});
         f.list->setCurrentRow(1);
     },
     "ItemsCount=2|Item0=x|Item1=y|ItemIndex=1|"},
    {"LBMULTI", "Main.lbMulti",
     [](SaverForm& f) {
         f.multi->addItems({"x", "y", "z"});
         f.multi->item(0)->setSelected(true);
         f.multi->item(2)->setSelected(true);
     },
     "ItemsCount=3|Item0=x|Item1=y|Item2=z|Selected0=1|Selected1=0|Selected2=1|"},
    {"clbChecks", "Main.clbChecks",
     [](SaverForm& f) {
         f.checks->addItems({"p", "q"});
         f.checks->SetChecked(1, true);
     },
     "ItemsCount=2|Item0=p|Item1=q|ItemIndex=-1|Checked0=0|Checked1=1|"},
    {"lbRecent_nostore", "Main.lbRecent_nostore", [](SaverForm& f) { f.recent->setCurrentRow(1); },
     "ItemIndex=1|"},
    {"cbList", "Main.cbList",
     [](SaverForm& f) {
         f.combo->addItems({"one", "two"});
         f.combo->setCurrentIndex(1);
     },
     "ItemsCount=2|Item0=one|Item1=two|ItemIndex=1|"},
    {"cbEdit", "Main.cbEdit", [](SaverForm& f) { f.comboEdit->setEditText("typed"); },
     "ItemsCount=0|Text=typed|"},
    {"chBox", "Main.chBox", [](SaverForm& f) { f.check->setCheckState(Qt::PartiallyChecked); },
     "State=2|"},
    {"bcType", "Main.bcType", [](SaverForm& f) { f.radios->SetItemIndex(2); }, "ItemIndex=2|"},
    {"rbTwo", "Main.rbTwo", [](SaverForm& f) { f.radio2->setChecked(true); }, "Checked=1|"},
    {"eCode", "Main.eCode", [](SaverForm& f) { f.edit->setText("ABC-123"); }, "Text=ABC-123|"},
    {"eBorder", "Main.eBorder", [](SaverForm& f) { f.number->setText("x7"); }, "Text=x7|"},
    {"miOption", "Main.miOption", [](SaverForm& f) { f.action->setChecked(true); }, "Checked=1|"},
    {"tcTabs", "Main.tcTabs", [](SaverForm& f) { f.tabs->setCurrentIndex(2); }, "ItemIndex=2|"},
    {"pcPages", "Main.pcPages", [](SaverForm& f) { f.pages->setCurrentIndex(1); }, "ItemIndex=1|"},
    {"cbColor", "Main.cbColor", [](SaverForm& f) { f.color->SetSelected(0x123456); },
     "Color=1193046|"},
    {"dtpDate", "Main.dtpDate",
     [](SaverForm& f) {
         f.date->SetDateTime(QDateTime(QDate(2024, 2, 29), QTime(13, 45)));
         f.date->SetChecked(false);
     },
     "Date=2/29/2024|DateChecked=0|"},
    {"dtpPlain", "Main.dtpPlain", [](SaverForm& f) { f.plainDate->setDate(QDate(1999, 12, 31)); },
     "Date=12/31/1999|"},
    {"OptionsPanel.NameEdit", "Main.OptionsPanel.NameEdit",
     [](SaverForm& f) { f.nameEdit->setText("in frame"); }, "Text=in frame|"},
};

TEST_F(Savers, EveryControlClassIsWrittenAndReadBack) {
    QStringList lines;
    for (const ControlCase& c : controlCases)
        lines << QString::fromLatin1(c.Line);
    auto setup = [&](SaverForm& f) {
        f.saver->StdCtrl()->Components = lines;
        f.recent->addItems({"r1", "r2"}); // kept out of the file: the program fills it
    };
    {
        SaverForm form(Ini, setup);
        Cycle(form, [&] {
            for (const ControlCase& c : controlCases)
                c.Change(form);
        });
    }
    // A new form reads every value back: writing it again gives the same file.
    for (int pass = 0; pass < 2; ++pass) {
        for (const ControlCase& c : controlCases)
            EXPECT_EQ(S(Section(c.Section)), c.Stored) << c.Line << " pass " << pass;
        SaverForm again(Ini, setup);
        Cycle(again);
    }
    EXPECT_TRUE(Errors.isEmpty()) << S(Errors.join(u'\n'));
}

TEST_F(Savers, WritingErasesEachSectionFirst) {
    Put("[Main.Label1]\nold=1\n[Main.eHidden]\nText=h\n");
    auto setup = [](SaverForm& f) { f.saver->StdCtrl()->Components = {"lbList", "GroupBox1.*"}; };
    SaverForm form(Ini, setup);
    Cycle(form, [&] { form.list->addItems({"1", "2", "3", "4", "5"}); });
    Cycle(form, [&] {
        delete form.list->takeItem(4);
        delete form.list->takeItem(3);
        form.edit->setText("e");
    });
    form.file->Save();
    EXPECT_EQ(S(Section("Main.lbList")), "ItemsCount=3|Item0=1|Item1=2|Item2=3|ItemIndex=-1|");
    // ".*": the box and everything in it; a class the saver does not store has
    // its section erased all the same; an unnamed panel is skipped with its content.
    EXPECT_EQ(S(Section("Main.eCode")), "Text=e|");
    EXPECT_EQ(S(Section("Main.eBorder")), "Text=0|");
    EXPECT_FALSE(Text().contains("Main.Label1"));
    EXPECT_EQ(S(Section("Main.eHidden")), "Text=h|");
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(Savers, ConfigurationMistakesFailThePass) {
    const struct {
        QStringList Lines;
        const char* Error; // "" for none
    } cases[] = {
        {{"eCode", "eNothing", "eBorder"},
         "CustomPropSave: component \"eNothing\" not found. (PropSaveMain, line 1075)"},
        {{"GroupBox1"},
         "CustomPropSave: cannot save component \"GroupBox1\". (PropSaveMain, line 1031)"},
        {{"Main"}, "CustomPropSave: component \"Main\" not found. (PropSaveMain, line 1075)"},
        {{""}, "CustomPropSave: component \"\" not found. (PropSaveMain, line 1075)"},
        {{"OptionsPanel.Missing"},
         "CustomPropSave: component \"Missing\" not found. (PropSaveMain, line 1075)"},
        {{"Missing.NameEdit"},
         "CustomPropSave: component \"NameEdit\" not found. (PropSaveMain, line 1075)"},
        {{"nothing.*", "eCode"}, ""},
        {{"Main.*"}, ""},
    };
    for (const auto& c : cases) {
        Errors.clear();
        QFile::remove(Ini);
        SaverForm form(Ini, [&](SaverForm& f) { f.saver->StdCtrl()->Components = c.Lines; });
        form.edit->setText("typed");
        form.show(); // a failing read: shown, the form's own OnShow skipped, the form shown
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.shows, c.Error[0] ? 0 : 1);
        form.hide();
        form.file->Save();
        const QString expected = QString::fromLatin1(c.Error);
        EXPECT_EQ(S(Errors.join(u'/')),
                  S(expected.isEmpty() ? QString() : expected + u'/' + expected))
            << S(c.Lines.join(u','));
        // The lines after a failing one are not processed.
        EXPECT_EQ(Text().contains("Main.eBorder"), c.Lines == QStringList{"Main.*"});
    }
}

TEST_F(Savers, LimitBounds) {
    const struct {
        TLimitRect Limit;
        TRect In, Out;
    } cases[] = {
        {{0, 0, 0, 0, 30}, {100, 200, 300, 400}, {0, 0, 30, 30}},
        {{0, 0, 800, 600, 30}, {790, 10, 900, 50}, {770, 10, 800, 50}},
        {{0, 0, 1920, 1080, 120}, {3000, -50, 3500, 400}, {1800, 0, 1920, 400}},
        {{0, 0, 800, 600, 30}, {-50, 590, -40, 580}, {0, 570, 30, 600}},
        {{10, 10, 800, 600, 30}, {20, 20, 200, 100}, {20, 20, 200, 100}},
    };
    TPositionPropSave saver;
    for (const auto& c : cases) {
        saver.LimitRect = c.Limit;
        const TRect out = saver.LimitBounds(c.In);
        EXPECT_EQ(out, c.Out);
    }
}

TEST_F(Savers, WindowPositionAndState) {
    const TRect desk = VirtualDesktopRect();
    const struct {
        const char* Name;
        TFormBorderStyle Border;
        bool LimitToScreen;
        const char* Saved; // Main_XY before the start, "" for none
        TWindowState CloseIn;
        TRect Shown; // after the first activation (0, 0, 0, 0: not checked; right 0: designed size)
        bool Maximized;    // after the first activation
        const char* After; // Main_XY after closing; "*" bounds as shown
    } cases[] = {
        {"first run", bsSizeable, true, "", wsNormal, {}, false, "WinMinMax=0|*"},
        {"normal",
         bsSizeable,
         true,
         "WinMinMax=0\nLeft=40\nRight=340\nTop=50\nBottom=250",
         wsNormal,
         {40, 50, 340, 250},
         false,
         "WinMinMax=0|Left=40|Right=340|Top=50|Bottom=250|"},
        {"maximized",
         bsSizeable,
         true,
         "WinMinMax=2\nLeft=40\nRight=340\nTop=50\nBottom=250",
         wsMaximized,
         {},
         true,
         "WinMinMax=2|Left=40|Right=340|Top=50|Bottom=250|"},
        {"minimized",
         bsSizeable,
         true,
         "WinMinMax=1\nLeft=40\nRight=340\nTop=50\nBottom=250",
         wsMinimized,
         {40, 50, 340, 250},
         false,
         "WinMinMax=1|Left=40|Right=340|Top=50|Bottom=250|"},
        {"off screen",
         bsSingle,
         true,
         "WinMinMax=0\nLeft=3000\nRight=3500\nTop=-50\nBottom=400",
         wsNormal,
         {desk.Right - 120, 0, 0, 0},
         false,
         "WinMinMax=0|*"},
        {"off screen, not limited",
         bsSizeable,
         false,
         "WinMinMax=0\nLeft=3000\nRight=3500\nTop=10\nBottom=400",
         wsNormal,
         {3000, 10, 3500, 400},
         false,
         "WinMinMax=0|Left=3000|Right=3500|Top=10|Bottom=400|"},
        {"fixed size",
         bsSingle,
         true,
         "WinMinMax=0\nLeft=40\nRight=140\nTop=50\nBottom=90",
         wsNormal,
         {40, 50, 444, 354},
         false,
         "WinMinMax=0|Left=40|Right=444|Top=50|Bottom=354|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QFile::remove(Ini);
        if (c.Saved[0]) Put(QStringLiteral("[main_xy]\n") + QString::fromLatin1(c.Saved));
        SaverForm form(Ini, [&](SaverForm& f) {
            f.SetBorderStyle(c.Border);
            f.saver->FormLimitToScreen = c.LimitToScreen;
        });
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QCoreApplication::processEvents();
        const QSize outer = form.frameGeometry().size();
        if (c.Shown.Left || c.Shown.Top) {
            TRect expected = c.Shown;
            if (!expected.Right) {
                expected.Right = expected.Left + outer.width();
                expected.Bottom = expected.Top + outer.height();
                EXPECT_EQ(form.size(), QSize(400, 300));
            }
            EXPECT_EQ(form.BoundsRect(), expected);
        }
        EXPECT_EQ(form.WindowState() == wsMaximized, c.Maximized);
        const TRect shown = form.BoundsRect();
        form.SetWindowState(c.CloseIn);
        QCoreApplication::processEvents();
        form.hide();
        form.file->Save();
        QString after = QString::fromLatin1(c.After);
        after.replace(u'*', QStringLiteral("Left=%1|Right=%2|Top=%3|Bottom=%4|")
                                .arg(shown.Left)
                                .arg(shown.Right)
                                .arg(shown.Top)
                                .arg(shown.Bottom));
        EXPECT_EQ(S(Section(c.Saved[0] ? "main_xy" : "Main_XY")), S(after));
    }
}

TEST_F(Savers, WhatIsStoredAndUnderWhichNames) {
    const struct {
        const char* Name;
        void (*Setup)(SaverForm&);
        const char* Sections; // the section names of the file, in order
    } cases[] = {
        {"form key", [](SaverForm& f) { f.saver->FormKey = "Setup"; },
         "Setup_XY,Setup.eCode,Setup.OptionsPanel.NameEdit"},
        {"no position", [](SaverForm& f) { f.saver->FormSavePos = false; },
         "Main.eCode,Main.OptionsPanel.NameEdit"},
        {"never", [](SaverForm& f) { f.saver->PropSaveEvents = pseNone; }, ""},
        {"values off", [](SaverForm& f) { f.saver->StdCtrl()->Disable = true; }, "Main_XY"},
        {"all off", [](SaverForm& f) { f.file->DisableAll = true; }, "-"},
        {"key handler",
         [](SaverForm& f) { f.saver->StdCtrl()->OnGetKeyString = [](QObject*, QString&) {}; },
         "Main_XY,Main"},
        {"create and destroy", [](SaverForm& f) { f.saver->PropSaveEvents = pseFormCreateDestroy; },
         "Main_XY,Main.eCode,Main.OptionsPanel.NameEdit"},
        {"positions too", // each saver keeps to its own section, whatever the order
         [](SaverForm& f) {
             f.saver->CtrlPosition()->Components = {"eCode"};
             auto* extra = new TPositionPropSave(&f);
             extra->setObjectName("PositionsAfter");
             extra->SetPropSaveMain(f.saver);
             extra->Components = {"eCode"};
         },
         "Main_XY,Main.eCode,Main.OptionsPanel.NameEdit,Main.eCode_XY"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QFile::remove(Ini);
        int reads = 0;
        {
            SaverForm form(Ini, [&](SaverForm& f) {
                f.saver->StdCtrl()->Components = {"eCode", "OptionsPanel.NameEdit"};
                f.saver->OnReadProperties = [&](TPropSaveFile* File, const QString& Key) {
                    EXPECT_EQ(File, f.file);
                    EXPECT_EQ(Key, f.saver->GetFormKey());
                    ++reads;
                };
                c.Setup(f);
            });
            Cycle(form, [&] { form.edit->setText("kept"); });
        }
        QStringList sections;
        for (const QString& line : Text().split(QStringLiteral("\r\n")))
            if (line.startsWith(u'[')) sections << line.mid(1, line.size() - 2);
        EXPECT_EQ(S(QFile::exists(Ini) ? sections.join(u',') : QStringLiteral("-")), c.Sections);
        if (sections.contains("Main.eCode")) {
            EXPECT_EQ(S(Section("Main.eCode")), "Text=kept|");
        }
        EXPECT_EQ(reads, c.Sections[0] && c.Sections[0] != '-' ? 1 : 0);
    }
}

// The main window's settings components as they will be configured, on a
// form of the same controls: the file is the one the design shows.
TEST_F(Savers, MainWindowSettingsFile) {
    auto setup = [](SaverForm& f) {
        f.SetBorderStyle(bsSingle);
        f.radios->SetItems(QStringList(23, QStringLiteral("type")));
        f.saver->StdCtrl()->Components = {"bcType",     "eCode",    "chShowCode",
                                          "chCheckSum", "chBorder", "eBorder"};
        for (const char* name : {"chShowCode", "chCheckSum", "chBorder"})
            Make<QCheckBox>(f.group, name)->setChecked(true);
        f.number->SetMaxValue(30);
        f.number->SetValue(10);
    };
    {
        SaverForm form(Ini, setup);
        Cycle(form, [&] {
            form.radios->SetItemIndex(6);
            form.edit->setText("ABC-123");
            form.findChild<QCheckBox*>("chCheckSum")->setChecked(false);
        });
    }
    QString text = Text();
    text.replace(QRegularExpression("Left=-?\\d+\r\nRight=-?\\d+\r\nTop=-?\\d+\r\nBottom=-?\\d+"),
                 "Left=400\r\nRight=927\r\nTop=200\r\nBottom=644");
    EXPECT_EQ(S(text), "[Main_XY]\r\nWinMinMax=0\r\nLeft=400\r\nRight=927\r\nTop=200\r\n"
                       "Bottom=644\r\n\r\n[Main.bcType]\r\nItemIndex=6\r\n\r\n[Main.eCode]\r\n"
                       "Text=ABC-123\r\n\r\n[Main.chShowCode]\r\nState=1\r\n\r\n"
                       "[Main.chCheckSum]\r\nState=0\r\n\r\n[Main.chBorder]\r\nState=1\r\n\r\n"
                       "[Main.eBorder]\r\nText=10\r\n\r\n");

    Put(Text().replace("ItemIndex=6", "ItemIndex=14"));
    SaverForm again(Ini, setup);
    int clicked = -2;
    again.radios->OnClick = [&](QObject*) { clicked = again.radios->ItemIndex(); };
    again.show();
    EXPECT_EQ(clicked, 14); // the window's own rules follow a restored selection
    EXPECT_EQ(again.edit->text(), "ABC-123");
    EXPECT_FALSE(again.findChild<QCheckBox*>("chCheckSum")->isChecked());
}

} // namespace
