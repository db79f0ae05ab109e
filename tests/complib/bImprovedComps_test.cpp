#include "complib/bImprovedComps.h"

#include "complib/btool.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <climits>

namespace {

class EditNum : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSep(u'.'); }
    void TearDown() override { SetDecimalSep(QChar()); }

    // The main window's border field.
    static void MakeBorderField(TbEditNum& e) {
        e.SetMaxValue(30);
        e.SetStepValue(1);
        e.SetValue(10);
    }
};

TEST_F(EditNum, NewFieldShowsZero) {
    TbEditNum e;
    EXPECT_EQ(e.text(), u"0"_qs);
    EXPECT_EQ(e.width(), 40);
}

struct TextCase {
    const char16_t* Text;
    int AsInteger;
    const char16_t* After;
};

TEST_F(EditNum, BorderFieldReadsItsText) {
    const TextCase cases[] = {
        {u"45", 30, u"30"},  {u"-3", 0, u"0"},    {u"", 0, u"0"},
        {u"2.5", 2, u"2.5"}, {u"3.5", 4, u"3.5"}, {u"7", 7, u"7"},
        {u"1e", 0, u"1e"},   {u"abc", 0, u"abc"}, {u" 12 ", 12, u"12"},
    };
    TbEditNum e;
    MakeBorderField(e);
    for (const auto& c : cases) {
        e.setText(QString::fromUtf16(c.Text));
        EXPECT_EQ(e.GetAsInteger(), c.AsInteger) << QString::fromUtf16(c.Text).toStdString();
        EXPECT_EQ(e.text(), QString::fromUtf16(c.After))
            << QString::fromUtf16(c.Text).toStdString();
    }
}

TEST_F(EditNum, AsIntegerStaysInTheIntRange) {
    TbEditNum e;
    e.setText(u"1e12"_qs);
    EXPECT_EQ(e.GetAsInteger(), INT_MAX);
    e.setText(u"-1e12"_qs);
    EXPECT_EQ(e.GetAsInteger(), INT_MIN);
}

TEST_F(EditNum, ValueOfTextThatIsNoNumberIsZero) {
    TbEditNum e;
    e.setText(u"1e"_qs);
    EXPECT_EQ(e.GetValue(), 0.0);
    EXPECT_FALSE(e.ValidateText());
    EXPECT_EQ(e.text(), u"1e"_qs);
}

struct ArrowCase {
    const char16_t* Start;
    Qt::Key Key;
    int Presses;
    const char16_t* After;
};

TEST_F(EditNum, ArrowKeysStepWithinTheRange) {
    const ArrowCase cases[] = {
        {u"10", Qt::Key_Up, 1, u"11"},   {u"10", Qt::Key_Down, 2, u"8"},
        {u"29", Qt::Key_Up, 3, u"30"},   {u"1", Qt::Key_Down, 3, u"0"},
        {u"45", Qt::Key_Down, 1, u"30"}, // steps from the text, then clamps
    };
    TbEditNum e;
    MakeBorderField(e);
    for (const auto& c : cases) {
        e.setText(QString::fromUtf16(c.Start));
        for (int i = 0; i < c.Presses; ++i)
            QTest::keyClick(&e, c.Key);
        EXPECT_EQ(e.text(), QString::fromUtf16(c.After))
            << QString::fromUtf16(c.Start).toStdString();
    }
}

struct GridCase {
    const char16_t* Text;
    const char16_t* After;
};

TEST_F(EditNum, StepOnlySnapsHalvesToEven) {
    const GridCase cases[] = {
        {u"1.3", u"1.5"}, {u"1.25", u"1"},   {u"1.75", u"2"},
        {u"0.75", u"1"},  {u"-1.25", u"-1"}, {u"2", u"2"},
    };
    TbEditNum e;
    e.SetStepValue(0.5);
    e.SetStepOnly(true);
    for (const auto& c : cases) {
        e.setText(QString::fromUtf16(c.Text));
        EXPECT_TRUE(e.ValidateText());
        EXPECT_EQ(e.text(), QString::fromUtf16(c.After))
            << QString::fromUtf16(c.Text).toStdString();
    }
}

TEST_F(EditNum, MinAboveMaxWins) {
    TbEditNum e;
    e.SetMinValue(5);
    e.SetMaxValue(3);
    e.setText(u"4"_qs);
    EXPECT_EQ(e.GetAsInteger(), 5);
}

struct TypingCase {
    enStyle Style;
    QChar Sep;
    const char* Keys;
    const char16_t* Typed;
    double Value;
};

TEST_F(EditNum, KeyFilter) {
    const TypingCase cases[] = {
        {enInteger, u'.', "1a2", u"12", 12},          {enInteger, u'.', "-4.5", u"-45", -45},
        {enInteger, u'.', "3e2", u"32", 32},          {enFloat, u'.', "1e2", u"1e2", 100},
        {enFloat, u'.', "2.5x", u"2.5", 2.5},         {enFloat, u'.', "2,5", u"25", 25},
        {enFloat, u',', "2,5", u"2,5", 2.5},          {enFloat, u',', "2.5", u"25", 25},
        {enFloat, u',', "+1,5E-1", u"+1,5E-1", 0.15},
    };
    for (const auto& c : cases) {
        SetDecimalSep(c.Sep);
        TbEditNum e;
        e.SetStyle(c.Style);
        e.clear();
        QTest::keyClicks(&e, QString::fromLatin1(c.Keys));
        EXPECT_EQ(e.text(), QString::fromUtf16(c.Typed)) << c.Keys;
        EXPECT_DOUBLE_EQ(e.GetValue(), c.Value) << c.Keys;
    }
}

TEST_F(EditNum, CharactersBeyondAsciiAreDropped) {
    TbEditNum e;
    e.SetStyle(enFloat);
    e.clear();
    // An Arabic-Indic digit, a Latin-1 letter and a digit.
    for (const QString& typed : {u"\u0661"_qs, u"\u00e9"_qs, u"1"_qs})
        QTest::sendKeyEvent(QTest::Click, &e, Qt::Key_unknown, typed, Qt::NoModifier);
    EXPECT_EQ(e.text(), u"1"_qs);
}

TEST_F(EditNum, PastingPassesTheFilter) {
    TbEditNum e;
    MakeBorderField(e);
    e.clear();
    QGuiApplication::clipboard()->setText(u"2.5"_qs);
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.text(), u"2.5"_qs);
    EXPECT_EQ(e.GetAsInteger(), 2);
}

TEST_F(EditNum, EnterValidatesAndSelects) {
    TbEditNum e;
    MakeBorderField(e);
    QSignalSpy entered(&e, &QLineEdit::returnPressed);
    e.setText(u"45"_qs);
    QTest::keyClick(&e, Qt::Key_Return);
    EXPECT_EQ(e.text(), u"30"_qs);
    EXPECT_EQ(e.selectedText(), u"30"_qs);
    EXPECT_EQ(entered.count(), 1);
}

struct FormatCase {
    const char16_t* Format;
    QChar Sep;
    double Value;
    const char16_t* Text;
};

TEST_F(EditNum, ShowsTheValueThroughFormat) {
    const FormatCase cases[] = {
        {u"", u'.', 2.5, u"2.5"},
        {u"", u',', 2.5, u"2,5"},
        {u"0.00", u'.', 1.5, u"1.50"},
        {u"0.00", u',', 1.5, u"1,50"},
        {u"0.00", u',', 1234.5, u"1234,50"},
        {u"0.0E+00", u',', 1500, u"1,5E+03"},
    };
    for (const auto& c : cases) {
        SetDecimalSep(c.Sep);
        TbEditNum e;
        e.SetFormat(QString::fromUtf16(c.Format));
        e.SetValue(c.Value);
        EXPECT_EQ(e.text(), QString::fromUtf16(c.Text))
            << QString::fromUtf16(c.Format).toStdString();
        EXPECT_DOUBLE_EQ(e.GetValue(), c.Value) << QString::fromUtf16(c.Format).toStdString();
    }
}

// A format with grouping or literal text writes texts that do not read back as
// numbers; the field still takes them as the value it showed.
TEST_F(EditNum, TakesItsOwnTextBack) {
    SetDecimalSep(u'.');
    for (const char16_t* format : {u"#,##0.00", u"0' kg'"}) {
        TbEditNum e;
        e.SetFormat(QString::fromUtf16(format));
        e.SetValue(1234567.891);
        const QString shown = e.text();
        EXPECT_TRUE(e.ValidateText()) << shown.toStdString();
        EXPECT_EQ(e.text(), shown);
        EXPECT_NEAR(e.GetValue(), 1234567.891, 0.01) << shown.toStdString();
        e.StepUp(); // StepValue 0: the same value again
        EXPECT_EQ(e.text(), shown);
    }
}

// A window with the field and two other places the focus can go.
class FocusWindow {
public:
    FocusWindow() {
        auto* layout = new QVBoxLayout(&Window);
        layout->addWidget(Field = new TbEditNum);
        layout->addWidget(Second = new TbEditNum);
        Window.show();
        Window.activateWindow();
    }
    QWidget Window;
    TbEditNum* Field;
    TbEditNum* Second;
};

class FocusCounter : public QObject {
public:
    int FocusIns = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) ++FocusIns;
        return false;
    }
};

TEST_F(EditNum, BadTextHoldsTheFocus) {
    FocusWindow w;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.Window));
    w.Field->setFocus();
    ASSERT_TRUE(w.Field->hasFocus());

    w.Field->setText(u"1e"_qs);
    QTest::keyClick(w.Field, Qt::Key_Tab);
    QTest::qWait(20);
    EXPECT_TRUE(w.Field->hasFocus());
    EXPECT_EQ(w.Field->text(), u"1e"_qs);

    w.Field->setText(u"1e1"_qs);
    QTest::keyClick(w.Field, Qt::Key_Tab);
    QTest::qWait(20);
    EXPECT_TRUE(w.Second->hasFocus());
    EXPECT_EQ(w.Field->text(), u"10"_qs);
}

TEST_F(EditNum, TwoBadFieldsDoNotPassTheFocusToAndFro) {
    FocusWindow w;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.Window));
    w.Field->setFocus();
    w.Field->setText(u"x"_qs);
    w.Second->setText(u"y"_qs);
    FocusCounter counter;
    w.Field->installEventFilter(&counter);
    QTest::keyClick(w.Field, Qt::Key_Tab);
    QTest::qWait(50);
    EXPECT_TRUE(w.Field->hasFocus());
    EXPECT_EQ(counter.FocusIns, 1);
}

} // namespace
