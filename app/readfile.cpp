#include "readfile.h"

#include "platform.h"

#include <utility>

namespace chain {
namespace {

const char *kindText(platform::Kind k)
{
    switch (k) {
    case platform::Kind::Directory: return "一个目录";
    case platform::Kind::CharDevice: return "一个设备（字符设备）";
    case platform::Kind::BlockDevice: return "一个设备（块设备）";
    case platform::Kind::Fifo: return "一个管道（FIFO）";
    case platform::Kind::Socket: return "一个套接字";
    default: return "一个特殊文件";
    }
}

std::string sizeText(std::size_t limit)
{
    constexpr std::size_t mib = std::size_t{1} << 20;
    return limit % mib == 0 ? std::to_string(limit / mib) + " MiB" : std::to_string(limit) + " 字节";
}

} // namespace

InputFile readInputFile(const std::string &path, std::size_t limit)
{
    const bool stdinput = path == "-";
    platform::ReadResult r = stdinput ? platform::readStandardInput(limit) : platform::readRegularFile(path, limit);
    InputFile f;
    if (r.error) {
        f.status = stdinput || r.bytes.size() > 0 ? InputFile::ReadFailed : InputFile::CannotOpen;
        f.why = platform::errorText(r.error);
    } else if (r.kind != platform::Kind::Regular) {
        f.status = InputFile::NotRegular;
        f.why = kindText(r.kind);
    } else if (r.tooLarge) {
        f.status = InputFile::TooLarge;
        f.why = sizeText(limit);
    } else {
        f.bytes = std::move(r.bytes);
    }
    return f;
}

} // namespace chain
