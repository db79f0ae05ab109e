#include "complib/BemoCompGlobalCfg.h"

#include "complib/btool.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

// The test main fills the record as the program does at start-up.
TEST(BemoCompConfig, DefaultsThatOtherPartsRead) {
    const TBemoCompConfig& cfg = BemoCompConfig;
    EXPECT_EQ(cfg.PropSaveCfg.NoStoreMarker, u"_nostore"_qs);
    EXPECT_EQ(cfg.DBToolCfg.SaveDialogOptions, ofNoChangeDir | ofFileMustExist | ofEnableSizing);
    EXPECT_FALSE(cfg.DBToolCfg.SaveDialogOptions.testFlag(ofOverwritePrompt));
    EXPECT_FALSE(cfg.DBToolCfg.OnSaveDialogCreate);
    EXPECT_EQ(cfg.DBToolCfg.DialogFontName, u"Tahoma"_qs);
    EXPECT_EQ(cfg.DBToolCfg.DialogFontSize, 8);
    EXPECT_FALSE(cfg.DBToolCfg.OnDialogAnchorClick);
    EXPECT_TRUE(cfg.DBToolCfg.LastPictureFile.isEmpty());
}

TEST(BemoCompConfig, StartUpValues) {
    const TBemoCompConfig& cfg = BemoCompConfig;
    EXPECT_EQ(cfg.HelpFolder, AppFolder() + u"help/"_qs);
    EXPECT_EQ(cfg.DBSortCfg.Folder, AppFolder());
    EXPECT_EQ(cfg.ThemedBodyColor, QApplication::palette().color(QPalette::Button));
}

} // namespace
