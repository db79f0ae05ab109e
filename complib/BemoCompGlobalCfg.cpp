#include "complib/BemoCompGlobalCfg.h"

#include "complib/btool.h"

TBemoCompConfig BemoCompConfig;

void InitBemoCompConfig() {
    BemoCompConfig = TBemoCompConfig{};
    const QString appFolder = AppFolder();
    BemoCompConfig.HelpFolder = appFolder + QStringLiteral("help/");
    BemoCompConfig.ThemedBodyColor = ProbeThemedBodyColor();
    BemoCompConfig.DBSortCfg.Folder = appFolder;
}
