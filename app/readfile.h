// Reading an input file (a data file, a replies file) whole, with a size
// limit, from a regular file only: a FIFO or a device is named, never read
// from or waited on. Plain C++; the system calls are in app/platform.h.
#pragma once

#include <cstddef>
#include <string>

namespace chain {

// Input files are a few hundred bytes to a few kilobytes; anything beyond a
// mebibyte is not one.
inline constexpr std::size_t kMaxInputFile = std::size_t{1} << 20;

struct InputFile {
    enum Status { Ok, CannotOpen, ReadFailed, NotRegular, TooLarge };
    Status status = Ok;
    std::string bytes;
    // Chinese: why it could not be opened or read ("目录或文件不存在"), or
    // what it is instead of a file ("一个管道（FIFO）"), or the limit ("1 MiB").
    std::string why;
};

// Reads `path` ("-" for standard input) up to `limit` bytes.
InputFile readInputFile(const std::string &path, std::size_t limit = kMaxInputFile);

} // namespace chain
