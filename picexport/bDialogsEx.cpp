#include "picexport/bDialogsEx.h"

QStringList QtNameFilters(const QString& Filter) {
    const QStringList parts = Filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QStringList patterns =
            i + 1 < parts.size() ? parts[i + 1].split(u';', Qt::SkipEmptyParts) : QStringList();
        if (description.isEmpty() && patterns.isEmpty()) continue;
        if (patterns.isEmpty())
            filters << description;
        else
            filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(u' ').trimmed());
    }
    return filters;
}

TbSaveDialog::TbSaveDialog(QWidget* Owner) : QFileDialog(Owner) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog everywhere: the same filters, keys and font on every desktop.
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    SetOptions(BemoCompConfig.DBToolCfg.SaveDialogOptions);
    if (BemoCompConfig.DBToolCfg.OnSaveDialogCreate)
        BemoCompConfig.DBToolCfg.OnSaveDialogCreate(this);
}

void TbSaveDialog::SetOptions(TOpenOptions Options) {
    FOptions = Options;
    setOption(QFileDialog::DontConfirmOverwrite, !(Options & ofOverwritePrompt));
}

bool TbSaveDialog::Execute() {
    if (!InitialDir.isEmpty()) setDirectory(InitialDir);
    setDefaultSuffix(DefaultExt.startsWith(u'.') ? DefaultExt.mid(1) : DefaultExt);
    const QStringList filters = QtNameFilters(Filter);
    setNameFilters(filters);
    if (!filters.isEmpty()) selectNameFilter(filters.value(FilterIndex - 1, filters.first()));
    FFileName.clear();
    if (exec() != QDialog::Accepted) return false;
    const QStringList files = selectedFiles();
    if (files.isEmpty()) return false;
    FFileName = files.first();
    return true;
}
