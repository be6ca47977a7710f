// The few system calls that differ between systems: files for the bounded
// reader and the atomic writer (app/atomicfile.h), the program's start
// (console, arguments), the local date and loading the window module.
// app/platform_posix.cpp implements them for Linux and other POSIX systems,
// app/platform_windows.cpp for Windows; nothing else in the program calls
// the system directly. Paths and arguments are UTF-8 on every system.
// Plain C++.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace chain::platform {

// Why a call failed, in Chinese ("磁盘已满", "没有写权限", "只读文件系统"...),
// from the system's error code. Never the system's own (English) text.
std::string errorText(int code);

// The same for a failure to write: a permission error is a missing write
// permission, a missing file a missing folder.
std::string writeErrorText(int code);

// The error code of a file name that is too long, of a missing file, and of
// a chain of symbolic links that does not end.
int nameTooLong();
int notFound();
int linkLoop();

// The error code of this file for an error that std::filesystem reported.
int errorCode(const std::error_code &ec);

// What a path names, following symbolic links.
enum class Kind { Regular, Directory, CharDevice, BlockDevice, Fifo, Socket, Other };

struct ReadResult {
    int error = 0;             // the system's error code, 0 when none
    Kind kind = Kind::Regular; // what the path is (only a regular file is read)
    bool tooLarge = false;     // more than the limit: nothing is returned
    std::string bytes;
};

// Reads a regular file of at most `limit` bytes. Anything else (a FIFO, a
// device, a directory) is reported by its kind without reading from it: the
// path is checked before it is opened, it is opened without waiting for a
// writer, and the opened file is checked again. The read stops after
// `limit` + 1 bytes.
ReadResult readRegularFile(const std::string &path, std::size_t limit);

// Standard input, read up to `limit` + 1 bytes.
ReadResult readStandardInput(std::size_t limit);

// A new, empty file in `dir`, its name made from `name`, open for writing
// and readable only by its owner.
struct TempFile {
    std::string path;
    int handle = -1;
    int error = 0;
};
TempFile createTemporary(const std::string &dir, const std::string &name);

// Writes all of `bytes`, however many calls it takes; 0 or the error code.
int writeAll(int handle, std::string_view bytes);
// Flushes the file to the disk and closes it; 0 or the first error code.
// The handle is closed in any case.
int syncAndClose(int handle);
// Closes without flushing.
void closeFile(int handle);
// Opens a file that another writer has filled and flushes it to the disk.
int syncFile(const std::string &path);

// The permission bits a new file gets (0666 less the process's mask).
unsigned newFileMode();
// The permission bits and owner of an existing file; false when unknown.
struct Owner {
    unsigned mode = 0;
    long uid = -1, gid = -1;
};
bool ownerOf(const std::string &path, Owner &owner);
// Gives `path` the mode and, where the process may, the owner; 0 or the
// error code of setting the mode.
int giveOwner(const std::string &path, const Owner &owner);

// Whether this process may write to the file: the permission check of the
// system (which root passes), 0 or its error code.
int writeAccess(const std::string &path);

// Renames `from` over `to` in one step; 0 or the error code.
int replace(const std::string &from, const std::string &to);
void removeFile(const std::string &path);
// Flushes a directory's entries (the rename) to the disk, where the system
// allows it.
void syncDirectory(const std::string &dir);

// Prepares the console and the standard streams (Chinese text shows as
// UTF-8, bytes pass unchanged) and returns the command line's arguments as
// UTF-8, the program's name first.
std::vector<std::string> startProgram(int argc, char **argv);

// The local calendar date and time of `t`; false when the system has none.
bool localTime(std::time_t t, std::tm &out);

// The folder of the running executable with a separator at the end, "./"
// when the system does not say.
std::string executableDir();
// Whether anything exists at `path`.
bool exists(const std::string &path);
// The file name of the loadable module `base` ("libBASE.so", "BASE.dll").
std::string moduleFileName(const std::string &base);
// Loads a module; null with the system's reason in `error`.
void *loadModule(const std::string &path, std::string &error);
// A function of a loaded module; null when it has none.
void *moduleFunction(void *module, const char *name);

// UTF-8 text in GBK (code page 936), for files that Chinese mapping software
// reads. False when it cannot be converted: `bad` then holds the UTF-8
// bytes of the first character GBK has no code for, or is empty when the
// system has no converter (or the text is not UTF-8).
bool toGbk(const std::string &utf8, std::string &out, std::string &bad);

} // namespace chain::platform
