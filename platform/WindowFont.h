// The window font: Tahoma, 8 points, for the windows, the dialogs and the text
// of the symbols. Debian's fonts-wine ships a Tahoma outside the font system's
// search path; every program registers it at start-up, before it draws.
#pragma once

// Registers Wine's Tahoma (regular and bold) with the application's font
// database and makes Tahoma 8 the application's default font. Where the files
// are missing the font system's substitute serves, silently. Needs the
// QGuiApplication; calling it again does nothing more. True when both files
// were registered.
bool RegisterWindowFont();
