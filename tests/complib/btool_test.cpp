#include "complib/btool.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(AddBackslash, AddsOnlyWhenMissing) {
    EXPECT_EQ(AddBackslash(QString()), QString());
    EXPECT_EQ(AddBackslash(u"/a/"_qs), u"/a/"_qs);
    EXPECT_EQ(AddBackslash(u"/a"_qs), u"/a/"_qs);
    EXPECT_EQ(AddBackslash(u"/"_qs), u"/"_qs);
}

TEST(AppFolder, IsTheExecutablesFolderAsItIs) {
    const QString folder = AppFolder();
    EXPECT_EQ(folder, QCoreApplication::applicationDirPath() + u'/');
    EXPECT_TRUE(QDir(folder).exists());
}

TEST(ScreenCursor, SwapsAndPutsBack) {
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(SetScreenCursor(Qt::WaitCursor), Qt::ArrowCursor);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

    // What a modal dialog does around its loop.
    const Qt::CursorShape previous = ResetScreenCursor();
    EXPECT_EQ(previous, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(SetScreenCursor(previous), Qt::ArrowCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);

    EXPECT_EQ(SetScreenCursor(Qt::IBeamCursor), Qt::WaitCursor);
    EXPECT_EQ(ResetScreenCursor(), Qt::IBeamCursor);
    // Nothing stays stacked behind.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(ResetScreenCursor(), Qt::ArrowCursor);
}

TEST(DialogOwner, IsTheActiveWindow) {
    EXPECT_EQ(DialogOwner(), nullptr);

    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(DialogOwner(), &window);

    QMainWindow frame;
    frame.setCentralWidget(new QMdiArea);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    EXPECT_EQ(DialogOwner(), nullptr);
}

} // namespace
