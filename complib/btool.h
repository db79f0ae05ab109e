// Small services of the library: the application folder, the owner of a new
// dialog, the global screen cursor, the decimal separator and the themed
// background colour.
#pragma once

#include <QChar>
#include <QColor>
#include <QString>
#include <Qt>

class QWidget;

// Folder of the running executable, ending with "/". Not lower-cased: on a
// case-sensitive file system a lower-cased folder would not exist.
QString AppFolder();

// Path with a trailing "/" added when missing; an empty path stays empty (it
// keeps its old name although the delimiter here is "/").
QString AddBackslash(const QString& Path);

// The window a new dialog belongs to: the active top-level window, or nullptr
// (meaning the application) when there is none or the active one is an MDI frame.
QWidget* DialogOwner();

// The screen cursor is the application's override cursor; Qt::ArrowCursor
// stands for the default cursor, i.e. no override, so that every widget shows
// its own cursor again. Both return the cursor that was set before.
Qt::CursorShape SetScreenCursor(Qt::CursorShape Cursor);
Qt::CursorShape ResetScreenCursor();

// The decimal separator of the program's number settings: the user locale's,
// unless SetDecimalSep has replaced it (a null QChar returns to the locale's).
QChar DecimalSep();
void SetDecimalSep(QChar Sep);

// Qt has no theme-part drawing, so this is the palette's button colour, which
// is what the probe gives without visual themes.
QColor ProbeThemedBodyColor();
