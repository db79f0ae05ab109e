#include "BemoCompGlobalCfg.h"

#include "btool.h"

TBemoCompConfig BemoCompConfig;

void InitBemoCompConfig() {
    BemoCompConfig = TBemoCompConfig{};
    const QString appFolder = AppFolder();
    BemoCompConfig.HelpFolder = appFolder + QStringLiteral("help/");
    BemoCompConfig.ThemedBodyColor = ProbeThemedBodyColor();
    BemoCompConfig.DBSortCfg.Folder = appFolder;
}
