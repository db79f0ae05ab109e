// Whole-file reading and writing.
//
// Writing replaces a file whole or not at all: the new bytes go to an unnamed
// (or temporary) file in the target's folder, which takes the target's name
// only when every write, the flush and the close succeeded, so a failure (a
// full disk, a size limit, a vanished folder) leaves an existing file exactly
// as it was and no temporary file behind. Failures are told in the system's
// words ("No space left on device").
//
// Which file is written:
// - A name that does not exist, or a regular file, gets that treatment.
// - A symbolic link is followed to the file it names, which is replaced (or
//   created, for a link to nothing yet); the link stays a link.
// - Anything else that exists (a character device such as /dev/null, a FIFO, a
//   terminal) is opened and written into as it is, as cp and tee do: it is
//   never renamed over. So are the links the system makes for open files
//   (/dev/stdout, /dev/fd/N, /proc/self/fd/N), whatever they lead to: there is
//   no folder entry of ours to replace behind them.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

// A file that cannot be read or written; the message names the file and why.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// File names are the system's bytes (UTF-8 here); messages are UTF-8.

// The whole of fileName; throws EFileError naming the file and why when it
// cannot be read.
std::string ReadWholeFile(const std::string& fileName);

// Whether a file is flushed to the disk before it takes its name. Skip is for
// batches of thousands of small files, where the flush would cost more than
// all the drawing: a killed run still leaves no partial file under a final
// name, but a power cut may lose the newest files.
enum class TFileFlush { ToDisk, Skip };

// data as the whole of fileName (see above). A replaced file keeps its
// permission bits; one we may not write is left alone. Returns false with a
// message ("fileName: why") when it cannot: every form of WriteFileAtomically
// reports so.
bool WriteFileAtomically(const std::string& fileName, const std::string& data, std::string* error,
                         TFileFlush flush = TFileFlush::ToDisk);

// The same with the bytes that produce makes, called once the file could be
// opened (so a folder that is missing fails before anything is made); produce
// returns false with its own message to give up.
bool WriteFileAtomically(
    const std::string& fileName,
    const std::function<bool(std::string& bytes, std::string* problem)>& produce,
    std::string* error, TFileFlush flush = TFileFlush::ToDisk);

// WriteFileAtomically for callers that raise their failures, as ReadWholeFile
// does: throws EFileError with the same message.
void WriteWholeFile(const std::string& fileName, const std::string& data);
