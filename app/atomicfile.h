// The one way the program writes a file: data files, reports (text and
// PDF) and every later export, from the command line and from the window.
//
// The whole content goes to a temporary file in the target's folder, every
// write is checked, the file is flushed to the disk and then renamed over
// the target in one step: the target is replaced whole or not at all, and
// no temporary file is left behind. A target that exists and is not a
// regular file (a device, a FIFO, a socket, a directory), a read-only file
// and a dangling symbolic link are refused before anything is written; a
// link to a regular file is written through (the link stays, the file it
// names is replaced). Plain C++; the system calls are in app/platform.h.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace chain {

// A file that was not written; what() says in Chinese which file, what went
// wrong and why, and that an existing file is unchanged.
class WriteError : public std::runtime_error {
public:
    enum Kind {
        NoName,  // no file name given: a usage error
        Refused, // the target cannot be replaced by a file (checked before writing)
        Failed,  // creating, writing, flushing or renaming failed
    };
    WriteError(Kind kind, const std::string &message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// Writes `bytes` as the new content of `path`. Throws WriteError.
void writeFileAtomically(const std::string &path, std::string_view bytes);

// Fills the temporary file through `produce` (a writer that wants a file
// name, such as the PDF printer): it gets the temporary file's path, writes
// the complete content there and returns an empty string, or a Chinese
// reason why it could not. Then as above. Throws WriteError.
using Producer = std::function<std::string(const std::string &temporaryPath)>;
void writeFileAtomically(const std::string &path, const Producer &produce);

// Empty when the file at `path` is a complete PDF document (it starts with
// the PDF header and ends with the end-of-file marker), else the Chinese
// reason: a renderer that lost a write leaves a cut file behind.
std::string pdfProblem(const std::string &path);

} // namespace chain
