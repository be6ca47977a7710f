// The system calls of app/platform.h on POSIX systems.
#include "platform.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <dlfcn.h>
#include <iconv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chain::platform {
namespace {

Kind kindOf(mode_t m)
{
    if (S_ISREG(m))
        return Kind::Regular;
    if (S_ISDIR(m))
        return Kind::Directory;
    if (S_ISCHR(m))
        return Kind::CharDevice;
    if (S_ISBLK(m))
        return Kind::BlockDevice;
    if (S_ISFIFO(m))
        return Kind::Fifo;
    if (S_ISSOCK(m))
        return Kind::Socket;
    return Kind::Other;
}

// Reads up to limit + 1 bytes from an open descriptor.
void readUpTo(int fd, std::size_t limit, ReadResult &r)
{
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            r.error = errno;
            return;
        }
        if (n == 0)
            return;
        r.bytes.append(buf, static_cast<std::size_t>(n));
        if (r.bytes.size() > limit) {
            r.tooLarge = true;
            r.bytes.clear();
            return;
        }
    }
}

} // namespace

std::string errorText(int code)
{
    switch (code) {
    case ENOENT: return "目录或文件不存在";
    case EACCES:
    case EPERM: return "没有权限";
    case ENOSPC: return "磁盘已满";
    case EDQUOT: return "超出磁盘配额";
    case EFBIG: return "文件超出允许的大小";
    case EROFS: return "只读文件系统";
    case EISDIR: return "这是一个目录";
    case ENOTDIR: return "路径中有一部分不是目录";
    case ENAMETOOLONG: return "文件名太长";
    case ELOOP: return "符号链接循环";
    case EIO: return "输入输出错误（磁盘或设备故障）";
    case EXDEV: return "不在同一个文件系统上";
    case EBUSY: return "文件正被占用";
    case ETXTBSY: return "文件正被执行";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case ENOMEM: return "内存不足";
    case EAGAIN: return "暂时无法读取";
    case ENXIO:
    case ENODEV: return "设备不存在";
    case EINVAL: return "参数无效";
    default: return "系统错误（错误代码 " + std::to_string(code) + "）";
    }
}

std::string writeErrorText(int code)
{
    switch (code) {
    case EACCES:
    case EPERM: return "没有写权限";
    case ENOENT: return "目录不存在";
    default: return errorText(code);
    }
}

int nameTooLong() { return ENAMETOOLONG; }
int notFound() { return ENOENT; }
int linkLoop() { return ELOOP; }

int errorCode(const std::error_code &ec) { return ec.value(); }

ReadResult readRegularFile(const std::string &path, std::size_t limit)
{
    ReadResult r;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        r.error = errno;
        return r;
    }
    r.kind = kindOf(st.st_mode);
    if (r.kind != Kind::Regular)
        return r;
    if (static_cast<unsigned long long>(st.st_size) > limit) {
        r.tooLarge = true;
        return r;
    }
    // Not waiting in open(): the path may have become a FIFO since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        r.error = errno;
        return r;
    }
    if (::fstat(fd, &st) != 0) {
        r.error = errno;
        ::close(fd);
        return r;
    }
    r.kind = kindOf(st.st_mode);
    if (r.kind == Kind::Regular) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
        readUpTo(fd, limit, r);
    }
    ::close(fd);
    return r;
}

ReadResult readStandardInput(std::size_t limit)
{
    ReadResult r;
    readUpTo(STDIN_FILENO, limit, r);
    return r;
}

TempFile createTemporary(const std::string &dir, const std::string &name)
{
    TempFile t;
    // A hidden name beside the target; long names are shortened so that
    // the temporary name is no longer than the target's.
    std::string base = name.size() > 200 ? name.substr(0, 200) : name;
    t.path = dir + "/." + base + ".XXXXXX";
    const int fd = ::mkostemp(t.path.data(), O_CLOEXEC);
    if (fd < 0) {
        t.error = errno;
        t.path.clear();
        return t;
    }
    t.handle = fd;
    return t;
}

int writeAll(int handle, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(handle, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int syncAndClose(int handle)
{
    int e = 0;
    if (::fsync(handle) != 0)
        e = errno;
    if (::close(handle) != 0 && e == 0)
        e = errno;
    return e;
}

void closeFile(int handle) { ::close(handle); }

int syncFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    return syncAndClose(fd);
}

unsigned newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666u & ~static_cast<unsigned>(mask);
}

bool ownerOf(const std::string &path, Owner &owner)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    owner.mode = st.st_mode & 07777;
    owner.uid = static_cast<long>(st.st_uid);
    owner.gid = static_cast<long>(st.st_gid);
    return true;
}

int giveOwner(const std::string &path, const Owner &owner)
{
    if (owner.uid >= 0 && (static_cast<uid_t>(owner.uid) != ::geteuid() || static_cast<gid_t>(owner.gid) != ::getegid()))
        (void)::chown(path.c_str(), static_cast<uid_t>(owner.uid), static_cast<gid_t>(owner.gid)); // root only; else the writer owns it
    return ::chmod(path.c_str(), static_cast<mode_t>(owner.mode)) == 0 ? 0 : errno;
}

int writeAccess(const std::string &path) { return ::access(path.c_str(), W_OK) == 0 ? 0 : errno; }

int replace(const std::string &from, const std::string &to) { return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno; }

void removeFile(const std::string &path) { ::unlink(path.c_str()); }

void syncDirectory(const std::string &dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

std::vector<std::string> startProgram(int argc, char **argv) { return std::vector<std::string>(argv, argv + argc); }

bool localTime(std::time_t t, std::tm &out) { return ::localtime_r(&t, &out) != nullptr; }

std::string executableDir()
{
    char self[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string("./chainadj");
    return dir.substr(0, dir.find_last_of('/') + 1);
}

bool exists(const std::string &path) { return ::access(path.c_str(), F_OK) == 0; }

std::string moduleFileName(const std::string &base) { return "lib" + base + ".so"; }

namespace {

// The loader's English reason told in Chinese for the causes a user can act
// on (a missing library, a damaged or foreign file, a module of another
// version); any other reason is passed on as the system gives it.
std::string moduleLoadReason(const std::string &raw, const std::string &path)
{
    const auto has = [&raw](const char *s) { return raw.find(s) != std::string::npos; };
    const std::size_t open = raw.find(": cannot open shared object file");
    if (open != std::string::npos) {
        const std::string lib = raw.substr(0, open);
        if (lib != path)
            return "缺少它所需的库 " + lib + "。请安装 Qt 6 的运行库（Debian：apt-get install libqt6widgets6 "
                   "libqt6printsupport6 libqt6svg6），或重新安装本程序。";
        return "无法打开这个文件。请检查它的读取权限，或重新安装本程序。";
    }
    if (has("invalid ELF header") || has("file too short") || has("ELF load command"))
        return "这不是可用的模块文件（已损坏或不完整）。请重新安装本程序。";
    if (has("wrong ELF class") || has("ELF file OS ABI") || has("ELF file data encoding"))
        return "这个模块是为另一种计算机构建的。请安装与本机相符的版本。";
    const std::size_t sym = raw.find("undefined symbol: ");
    if (sym != std::string::npos)
        return "模块与本程序或 Qt 的版本不符（缺少 " + raw.substr(sym + 18) + "）。请重新安装本程序。";
    return "系统的说明：" + raw;
}

} // namespace

void *loadModule(const std::string &path, std::string &error)
{
    void *h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char *e = ::dlerror();
        error = moduleLoadReason(e ? e : "", path);
    }
    return h;
}

void *moduleFunction(void *module, const char *name) { return ::dlsym(module, name); }

bool toGbk(const std::string &utf8, std::string &out, std::string &bad)
{
    bad.clear();
    iconv_t cd = ::iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in = utf8;
    out.assign(utf8.size() * 2 + 16, '\0');
    char *ip = in.data(), *op = out.data();
    std::size_t il = in.size(), ol = out.size();
    bool ok = true;
    while (il > 0) {
        if (::iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) {
            ok = false;
            // The character that stopped the conversion (EILSEQ); a cut
            // sequence at the end (EINVAL) leaves `bad` empty.
            if (errno == EILSEQ) {
                const auto lead = static_cast<unsigned char>(*ip);
                const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                bad.assign(ip, std::min(n, il));
            }
            break;
        }
    }
    ::iconv_close(cd);
    if (!ok) {
        out.clear();
        return false;
    }
    out.resize(out.size() - ol);
    return true;
}

} // namespace chain::platform
