// What the program barcodegen does before and around its window: the answers
// it gives on the command line without opening one, and the signals that
// close the window as its close box does.
#pragma once

#include <optional>

// --help and --version (also -h and -v) print their text and give the exit
// status; so does an argument that is neither these nor one of Qt's (-platform
// and the like, which QApplication takes). Needs no display. nullopt: open the
// window. Call it before the QApplication exists.
std::optional<int> AnswerWithoutWindow(int argc, char** argv);

// After QApplication has taken its own arguments: an argument left over is a
// usage error (message and 2); nullopt when there is none.
std::optional<int> RefuseLeftArguments(int argc, char** argv);

// SIGTERM, SIGINT and SIGHUP close every window as its close box does, so a
// session that ends, a kill or Ctrl+C in a terminal still keeps the settings.
// A repeated signal does the same again: they come in pairs (a closing
// terminal's shell passes its SIGHUP on, timeout(1) signals the group too),
// and the second must not end the program halfway through writing. Call it
// once the QApplication exists.
void CloseWindowsOnSignals();
