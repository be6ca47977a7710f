#include "atomicfile.h"

#include "platform.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace chain {
namespace {

namespace fs = std::filesystem;

// A symbolic link chain longer than this is taken for a loop, as the
// system does.
constexpr int kMaxLinks = 40;

// Paths are UTF-8 text on every system; std::filesystem is told so, since
// a plain string means the local code page on Windows.
fs::path pathOf(const std::string &text) { return fs::path(std::u8string(text.begin(), text.end())); }
std::string textOf(const fs::path &p)
{
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

// A path is shown whole: it names the file the surveyor chose.
std::string shown(const std::string &path) { return "「" + path + "」"; }

const char *kindName(fs::file_type t)
{
    switch (t) {
    case fs::file_type::directory: return "一个目录";
    case fs::file_type::character: return "一个字符设备";
    case fs::file_type::block: return "一个块设备";
    case fs::file_type::fifo: return "一个管道（FIFO）";
    case fs::file_type::socket: return "一个套接字";
    default: return "一个特殊文件";
    }
}

[[noreturn]] void refuse(const std::string &path, const std::string &why)
{
    throw WriteError(WriteError::Refused, "无法写入" + shown(path) + "：" + why);
}

// Where the content goes: the regular file that `path` names (through
// any symbolic links), or the new file it names.
struct Target {
    fs::path file;
    bool exists = false;
    platform::Owner owner;
};

Target resolve(const std::string &path)
{
    Target t;
    fs::path p;
    try {
        p = pathOf(path);
    } catch (const std::exception &) { // Windows: not convertible to UTF-16
        refuse(path, "文件名不是有效的 UTF-8 文本，没有写入。请换一个文件名。");
    }
    for (int links = 0;; ++links) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(p, ec);
        if (st.type() == fs::file_type::not_found) {
            if (links > 0)
                refuse(path, "这是一个符号链接，它指向的" + shown(textOf(p)) +
                                 "不存在（悬空的链接），没有写入。请删除这个链接或给出另一个文件名。");
            fs::path dir = p.parent_path();
            if (dir.empty())
                dir = ".";
            const fs::file_status ds = fs::status(dir, ec);
            if (ds.type() == fs::file_type::not_found)
                refuse(path, "目录" + shown(textOf(dir)) + "不存在。请先建立这个目录，或选择另一个目录。");
            if (ec)
                refuse(path, platform::errorText(platform::errorCode(ec)) + "。请检查路径。");
            if (ds.type() != fs::file_type::directory)
                refuse(path, shown(textOf(dir)) + "不是目录。请检查路径。");
            t.file = p;
            return t;
        }
        if (ec)
            refuse(path, platform::errorText(platform::errorCode(ec)) + "。请检查路径。");
        if (st.type() == fs::file_type::symlink) {
            if (links >= kMaxLinks)
                refuse(path, platform::errorText(platform::linkLoop()) + "（符号链接互相指向，找不到文件）。请检查这个链接。");
            const fs::path to = fs::read_symlink(p, ec);
            if (ec)
                refuse(path, platform::errorText(platform::errorCode(ec)) + "。请检查这个符号链接。");
            p = to.is_absolute() ? to : p.parent_path() / to;
            continue;
        }
        if (st.type() != fs::file_type::regular)
            refuse(path, std::string("这是") + kindName(st.type()) + "，不是普通文件，没有写入。请给出一个文件名。");
        constexpr fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if ((st.permissions() & anyWrite) == fs::perms::none)
            refuse(path, "这是只读文件（没有写权限位），没有改动。请先去掉文件的只读属性，或给出另一个文件名。");
        if (const int e = platform::writeAccess(textOf(p)))
            refuse(path, platform::writeErrorText(e) + "，没有改动。请检查文件的写权限。");
        t.file = p;
        t.exists = platform::ownerOf(textOf(p), t.owner);
        return t;
    }
}

// The temporary file filled by `fill` (which returns a reason on failure),
// then given its mode and renamed over the target.
void commit(const std::string &path, const std::function<std::string(platform::TempFile &)> &fill)
{
    if (path.empty())
        throw WriteError(WriteError::NoName, "没有给出文件名，没有写入。请给出要写入的文件名。");
    const Target t = resolve(path);
    const std::string kept = t.exists ? "原有的文件没有改动。" : "没有留下文件。";
    auto fail = [&](const std::string &why) {
        throw WriteError(WriteError::Failed, "无法写入" + shown(path) + "：" + why + "。" + kept +
                                                 "请检查磁盘空间和写入权限。");
    };
    fs::path dir = t.file.parent_path();
    if (dir.empty())
        dir = ".";
    platform::TempFile tmp = platform::createTemporary(textOf(dir), textOf(t.file.filename()));
    if (tmp.error)
        fail(platform::writeErrorText(tmp.error));
    std::string why = fill(tmp);
    if (why.empty()) {
        platform::Owner owner = t.owner;
        if (!t.exists)
            owner.mode = platform::newFileMode();
        if (const int e = platform::giveOwner(tmp.path, owner))
            why = platform::writeErrorText(e);
    }
    if (why.empty()) {
        if (const int e = platform::replace(tmp.path, textOf(t.file)))
            why = platform::writeErrorText(e);
    }
    if (!why.empty()) {
        platform::removeFile(tmp.path);
        fail(why);
    }
    platform::syncDirectory(textOf(dir));
}

} // namespace

void writeFileAtomically(const std::string &path, std::string_view bytes)
{
    commit(path, [&](platform::TempFile &tmp) -> std::string {
        const int e = platform::writeAll(tmp.handle, bytes);
        const int s = platform::syncAndClose(tmp.handle);
        tmp.handle = -1;
        if (e || s)
            return platform::writeErrorText(e ? e : s);
        return {};
    });
}

void writeFileAtomically(const std::string &path, const Producer &produce)
{
    commit(path, [&](platform::TempFile &tmp) -> std::string {
        platform::closeFile(tmp.handle);
        tmp.handle = -1;
        std::string why;
        try {
            why = produce ? produce(tmp.path) : std::string("没有内容可写");
        } catch (const std::exception &e) {
            why = e.what();
        }
        if (!why.empty())
            return why;
        if (const int e = platform::syncFile(tmp.path))
            return platform::writeErrorText(e);
        return {};
    });
}

std::string pdfProblem(const std::string &path)
{
    const std::string cut = "生成的 PDF 文件不完整（可能是磁盘已满）";
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(pathOf(path), ec);
    if (ec || size < 16)
        return cut;
    std::ifstream f(pathOf(path), std::ios::binary);
    std::string head(5, '\0');
    f.read(head.data(), 5);
    const std::uintmax_t tail = size < 1024 ? size : 1024;
    std::string end(static_cast<std::size_t>(tail), '\0');
    f.seekg(static_cast<std::streamoff>(size - tail));
    f.read(end.data(), static_cast<std::streamsize>(tail));
    if (!f || head != "%PDF-" || end.find("%%EOF") == std::string::npos)
        return cut;
    return {};
}

} // namespace chain
