// --batch: a picture for every line of a file, drawn on several threads, with
// the files and messages of one thread.
#pragma once

#include <cstdint>
#include <string>

#include "cli/BarcodeCli.h"
#include "cli/CliOptions.h"

// The file name of line number: every run of '#' in the file name of pattern
// becomes the number, zero-padded to the run's length; a file name without '#'
// takes the number before its extension ("label.png" gives "label7.png"). A '#'
// in the folder is kept as it is.
std::string BatchFileName(const std::string& pattern, std::int64_t number);

// The progress line after done of total codes in seconds: "1200/10000 codes,
// 950 a second, 9 s left". A total of 0 stands for one not known (standard input).
std::string BatchProgressText(std::int64_t done, std::int64_t total, double seconds);

// Runs the batch of options (Batch, Output as the name pattern, Jobs, and the
// drawing options). "line N: MESSAGE" and every other message go to err, in
// line order; a progress line too when err is a terminal. Returns a TCliExit.
int RunBatch(const TCliOptions& options, TCliStream& err);
