// The message dialog: its layout, items, buttons and keys, and the error
// report. Every dialog is answered through TDlgExecHook, without a modal loop.
#include "complib/bdlg.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

#include "complib/bHTMLLabel.h"
#include "platform/TextDraw.h"

namespace {

QRect Geometry(const QWidget* w) {
    return w->geometry();
}

TEST(MsgDialog, LaysOutTheErrorExample) {
    int lineHeight = 0;
    TDlgExecHook hook([&](TbDlgForm& f) {
        EXPECT_EQ(f.windowTitle(), u"Chyba"_qs);
        EXPECT_FALSE(f.imgE->isHidden());
        EXPECT_TRUE(f.imgI->isHidden());
        EXPECT_EQ(Geometry(f.imgE), QRect(10, 10, 48, 48));
        EXPECT_EQ(f.font().family(), u"Tahoma"_qs);
        EXPECT_EQ(f.font().pointSize(), 8);
        EXPECT_EQ(f.HelpContext, 1200);
        EXPECT_EQ(f.Labels.size(), 1u);
        EXPECT_EQ(f.Buttons.size(), 1u);
        if (f.Labels.size() != 1 || f.Buttons.size() != 1) return 0;
        lineHeight = TextHeight(f.Labels[0]->font(), f.Labels[0]);
        const int top = 18 + 2 * lineHeight + 20; // 64 for 13-pixel lines
        EXPECT_EQ(f.Labels[0]->pos(), QPoint(68, 18));
        EXPECT_EQ(f.Labels[0]->height(), 2 * lineHeight);
        EXPECT_EQ(Geometry(f.Buttons[0]), QRect(150, top, 100, 38));
        EXPECT_EQ(f.Buttons[0]->text(), u"&Ok"_qs);
        EXPECT_FALSE(f.Buttons[0]->icon().isNull());
        EXPECT_EQ(f.size(), QSize(400, top + 48));
        return 1;
    });
    EXPECT_EQ(MsgDialog(dkError, dbOk, {u"Soubor nelze uložit.\rDisk je plný."_qs, 1200}, false),
              1);
    EXPECT_EQ(lineHeight, 13) << "Tahoma 8 has 13-pixel lines, as the window font should";
}

TEST(MsgDialog, ReadsItsItems) {
    TDlgExecHook hook([](TbDlgForm& f) {
        EXPECT_EQ(f.windowTitle(), u"Saving"_qs);
        EXPECT_FALSE(f.imgQ->isHidden());
        EXPECT_EQ(f.Labels.size(), 4u);
        if (f.Labels.size() != 4) return 0;
        const QFont form = f.font();
        EXPECT_TRUE(f.Labels[0]->font().bold());
        EXPECT_EQ(f.Labels[0]->font().pointSize(), form.pointSize() + 2);
        EXPECT_EQ(f.Labels[0]->Caption(), u"Heading"_qs);
        EXPECT_FALSE(f.Labels[1]->font().bold());
        EXPECT_EQ(f.Labels[1]->Caption(), u"Text"_qs);
        EXPECT_EQ(f.Labels[2]->Caption(), u"Note ^B"_qs);
        EXPECT_EQ(f.Labels[3]->Caption(), u"x  @4 y"_qs) << "^c is dropped";
        EXPECT_TRUE(f.Labels[3]->font().underline() && f.Labels[3]->font().italic());
        EXPECT_EQ(f.Labels[3]->font().pointSize(), form.pointSize() + 4);
        return 6;
    });
    EXPECT_EQ(MsgDialog(dkQuestion, dbYesNo,
                        {u"^CSaving"_qs, u"^B^LHeading"_qs, u"^bText"_qs, u"Note ^B"_qs, 2.5,
                         u"^I^U^X^c x  @4 y"_qs, true},
                        false),
              6);

    TDlgExecHook empty([](TbDlgForm& f) {
        EXPECT_EQ(f.windowTitle(), QString());
        EXPECT_TRUE(f.imgI->isHidden() && f.imgQ->isHidden() && f.imgW->isHidden() &&
                    f.imgE->isHidden());
        EXPECT_EQ(f.Buttons.size(), 1u);
        EXPECT_EQ(f.Buttons[0]->y(), 60);
        return 1;
    });
    MsgDialog(dkNone, dbOk, {}, false);
}

TEST(MsgDialog, GrowsForALongLineUnlessItWraps) {
    const QString line = QString(u"Dlouhý řádek textu, "_qs).repeated(5);
    for (const bool wrap : {false, true}) {
        TDlgExecHook hook([&](TbDlgForm& f) {
            const TbHTMLLabel* l = f.Labels.at(0);
            if (wrap) {
                EXPECT_EQ(f.width(), 400);
                EXPECT_GE(l->height(), 2 * TextHeight(l->font(), l));
            } else {
                EXPECT_EQ(l->x(), 68);
                EXPECT_EQ(l->width(), TextWidth(line.trimmed(), l->font(), l));
                EXPECT_EQ(f.width(), l->x() + l->width() + 10);
            }
            return 1;
        });
        ErrorMsg(line, wrap);
    }
}

// Presses every button, Enter, Esc and the close box of each set.
TEST(MsgDialog, AnswersForEveryButtonSet) {
    struct Case {
        TDlgButtons Set;
        QVariantList Items;
        QStringList Captions;
        std::vector<int> Results;
        int Width;
        int Enter; // result of Enter with the first button focused
        int Esc;   // 0: nothing happens
        int Close; // 0: no close box
    } cases[] = {
        {dbOk, {}, {u"&Ok"_qs}, {1}, 100, 1, 1, 2},
        {dbOkCancel, {}, {u"&Ok"_qs, u"&Storno"_qs}, {1, 2}, 100, 1, 2, 2},
        {dbYesNo, {}, {u"&Ano"_qs, u"&Ne"_qs}, {6, 7}, 100, 6, 0, 0},
        {dbYesNoCancel, {}, {u"&Ano"_qs, u"&Ne"_qs, u"&Storno"_qs}, {6, 7, 2}, 100, 6, 2, 2},
        {dbCustom2,
         {u"@1Save"_qs, u"@2^BDiscard"_qs, u"@3None"_qs},
         {u"Save"_qs, u"Discard"_qs},
         {6, 7},
         175,
         6,
         0,
         0},
        {dbCustom3,
         {u"@1a"_qs, u"@2b"_qs, u"@3c"_qs},
         {u"a"_qs, u"b"_qs, u"c"_qs},
         {6, 7, 2},
         116,
         6,
         2,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.Set));
        for (std::size_t pressed = 0; pressed < c.Results.size(); ++pressed) {
            TDlgExecHook hook([&](TbDlgForm& f) {
                EXPECT_EQ(f.Buttons.size(), c.Captions.size());
                for (std::size_t i = 0; i < f.Buttons.size() && i < std::size_t(c.Captions.size());
                     ++i) {
                    EXPECT_EQ(f.Buttons[i]->text(), c.Captions[qsizetype(i)]);
                    EXPECT_EQ(f.Buttons[i]->width(), c.Width);
                }
                f.Buttons.at(pressed)->click();
                return f.result();
            });
            EXPECT_EQ(MsgDialog(dkInformation, c.Set, c.Items, false), c.Results[pressed]);
        }
        if (c.Set == dbCustom2) {
            TDlgExecHook hook([](TbDlgForm& f) {
                EXPECT_TRUE(f.Buttons.at(1)->font().bold());
                EXPECT_TRUE(f.Buttons.at(0)->icon().isNull());
                return 0;
            });
            MsgDialog(dkNone, c.Set, c.Items, false);
        }
        TDlgExecHook keys([&](TbDlgForm& f) {
            f.show();
            f.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
            EXPECT_EQ(f.focusWidget(), f.Buttons.at(0));
            QTest::keyClick(&f, Qt::Key_Escape);
            EXPECT_EQ(f.result(), c.Esc);
            EXPECT_EQ(f.isVisible(), c.Esc == 0) << "Esc closes only through a cancel button";
            f.setResult(0);
            f.show();
            f.close();
            EXPECT_EQ(f.result(), c.Close);
            EXPECT_EQ(f.isVisible(), c.Close == 0);
            EXPECT_EQ(f.windowFlags().testFlag(Qt::WindowCloseButtonHint), c.Close != 0);
            f.setResult(0);
            f.show();
            f.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
            QTest::keyClick(f.focusWidget(), Qt::Key_Return);
            return f.result();
        });
        EXPECT_EQ(MsgDialog(dkWarning, c.Set, c.Items, false), c.Enter);
    }
}

TEST(ShowErrorReport, ShowsTheMessageBelowItsHeading) {
    const std::runtime_error e("Chybný formát obrázku.");
    int shown = 0;
    TDlgExecHook hook([&](TbDlgForm& f) {
        ++shown;
        EXPECT_EQ(f.windowTitle(), u"Chyba"_qs);
        const bool titled = f.Labels.size() == 2;
        if (titled) {
            EXPECT_EQ(f.Labels[0]->Caption(), u"Ukládání"_qs);
        }
        EXPECT_EQ(f.Labels.back()->Caption(), u"Popis chyby:\rChybný formát obrázku."_qs);
        EXPECT_TRUE(f.Labels.back()->WordWrap());
        EXPECT_EQ(f.Buttons.size(), 1u);
        return 1;
    });
    ShowErrorReport(QString(), e, false);
    ShowErrorReport(u"Ukládání"_qs, e, false);
    EXPECT_EQ(shown, 2);
}

// Quitting is for good, so it happens in a child process, which ends
// without cleaning up.
TEST(ShowErrorReportDeathTest, ShowsNothingWhileTheApplicationQuits) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::runtime_error e("x");
    // Asked by the error report itself.
    EXPECT_EXIT(
        {
            int shown = 0;
            TDlgExecHook hook([&](TbDlgForm&) { return ++shown, 1; });
            ShowErrorReport(QString(), e, true); // shown, then the application quits
            ShowErrorReport(QString(), e, false);
            std::_Exit(shown == 1 && ApplicationTerminating() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    // The end of the event loop.
    EXPECT_EXIT(
        {
            int shown = 0;
            TDlgExecHook hook([&](TbDlgForm&) { return ++shown, 1; });
            QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                             [&] { ShowErrorReport(QString(), e, false); });
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
            QCoreApplication::exec();
            std::_Exit(shown == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
