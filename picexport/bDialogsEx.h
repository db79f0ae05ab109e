// The library's save dialog: Qt's file dialog with the options of the
// library configuration and the framework's "description|patterns" filters.
#pragma once

#include "complib/BemoCompGlobalCfg.h"

#include <QFileDialog>
#include <QStringList>

// The framework's filter text, description and patterns in turns separated
// by "|" ("Bitmapy (*.bmp)|*.bmp|PNG soubory (*.png)|*.png", patterns
// separated by ";"), as Qt's name filters, one per entry. Qt takes a filter's
// patterns from its last parentheses, so these are appended to the
// description as it is ("Jpeg soubory (*.jpg;*.jpeg) (*.jpg *.jpeg)"); the
// dialog hides them, and the user sees the description alone. A description
// without patterns stands alone.
QStringList QtNameFilters(const QString& Filter);

// A file-save dialog. On construction it takes its options from
// BemoCompConfig.DBToolCfg.SaveDialogOptions and then calls
// BemoCompConfig.DBToolCfg.OnSaveDialogCreate, when assigned, with itself.
//
// The options as Qt has them: ofOverwritePrompt asks before replacing a file;
// ofFileMustExist means the chosen name's folder must exist (which Qt's
// dialog always demands): a save dialog that accepted only existing files
// could never save a new one; ofNoChangeDir and ofEnableSizing hold anyway
// (Qt's dialog never changes the working folder and can always be resized).
class TbSaveDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit TbSaveDialog(QWidget* Owner = nullptr);

    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Options);

    // The folder the dialog opens in; empty: the working folder.
    QString InitialDir;
    // Added to a typed name without extension; a leading "." is optional.
    QString DefaultExt;
    // "description|patterns|..." (QtNameFilters) and the 1-based entry
    // preselected (anything outside the entries selects the first).
    QString Filter;
    int FilterIndex = 1;

    // Shows the dialog modally with the settings above; true when the user
    // chose a file (FileName), false when the dialog was cancelled.
    bool Execute();
    QString FileName() const { return FFileName; }

private:
    TOpenOptions FOptions;
    QString FFileName;
};
