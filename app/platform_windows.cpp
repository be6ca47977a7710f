// The system calls of app/platform.h on Windows (Win32). Paths are UTF-8
// in the program and UTF-16 for the system; error codes are Win32 codes
// (GetLastError). A file handle is a C runtime descriptor that wraps the
// Win32 handle, so that it fits the int of the interface.
#include "platform.h"

#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <io.h>

// Codes that older Windows headers do not name.
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L
#endif
#ifndef ERROR_DIRECTORY_NOT_SUPPORTED
#define ERROR_DIRECTORY_NOT_SUPPORTED 336L
#endif

namespace chain::platform {
namespace {

std::wstring wide(const std::string &text)
{
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                        nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), w.data(), n);
    return w;
}

std::string utf8(const wchar_t *w, std::size_t size)
{
    if (size == 0)
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(size), s.data(), n, nullptr, nullptr);
    return s;
}

// The UTF-16 form of a path; an empty result for text that is not UTF-8
// is reported as an invalid name.
bool widePath(const std::string &path, std::wstring &w)
{
    w = wide(path);
    if (w.empty() && !path.empty()) {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    return true;
}

int lastError()
{
    const DWORD e = ::GetLastError();
    return e ? static_cast<int>(e) : ERROR_GEN_FAILURE;
}

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }

Kind kindOfType(DWORD type)
{
    switch (type) {
    case FILE_TYPE_DISK: return Kind::Regular;
    case FILE_TYPE_CHAR: return Kind::CharDevice;
    case FILE_TYPE_PIPE: return Kind::Fifo;
    default: return Kind::Other;
    }
}

void readUpTo(HANDLE h, std::size_t limit, ReadResult &r)
{
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(h, buf, sizeof buf, &n, nullptr)) {
            const DWORD e = ::GetLastError();
            if (e != ERROR_BROKEN_PIPE && e != ERROR_HANDLE_EOF) // the writer closed: the end
                r.error = static_cast<int>(e);
            return;
        }
        if (n == 0)
            return;
        r.bytes.append(buf, n);
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
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return "目录或文件不存在";
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return "没有权限";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "磁盘已满";
    case ERROR_DISK_QUOTA_EXCEEDED: return "超出磁盘配额";
    case ERROR_FILE_TOO_LARGE: return "文件超出允许的大小";
    case ERROR_WRITE_PROTECT: return "只读文件系统";
    case ERROR_DIRECTORY_NOT_SUPPORTED: return "这是一个目录";
    case ERROR_DIRECTORY: return "路径中有一部分不是目录";
    case ERROR_FILENAME_EXCED_RANGE: return "文件名太长";
    case ERROR_CANT_RESOLVE_FILENAME: return "符号链接循环";
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE: return "输入输出错误（磁盘或设备故障）";
    case ERROR_NOT_SAME_DEVICE: return "不在同一个文件系统上";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return "文件正被占用";
    case ERROR_TOO_MANY_OPEN_FILES: return "打开的文件太多";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return "内存不足";
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST: return "设备不存在";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_PARAMETER: return "参数无效（文件名中可能有 Windows 不允许的字符）";
    default: return "系统错误（Windows 错误代码 " + std::to_string(code) + "）";
    }
}

std::string writeErrorText(int code)
{
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD: return "没有写权限";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "目录不存在";
    default: return errorText(code);
    }
}

int nameTooLong() { return ERROR_FILENAME_EXCED_RANGE; }
int notFound() { return ERROR_FILE_NOT_FOUND; }
int linkLoop() { return ERROR_CANT_RESOLVE_FILENAME; }

int errorCode(const std::error_code &ec)
{
    if (ec.category() == std::system_category())
        return ec.value();
    // The C library's codes that std::filesystem reports.
    switch (ec.value()) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOSPC: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOTDIR: return ERROR_DIRECTORY;
    case EISDIR: return ERROR_DIRECTORY_NOT_SUPPORTED;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EBUSY: return ERROR_SHARING_VIOLATION;
    case EINVAL: return ERROR_INVALID_NAME;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
    default: return ERROR_GEN_FAILURE;
    }
}

ReadResult readRegularFile(const std::string &path, std::size_t limit)
{
    ReadResult r;
    std::wstring w;
    if (!widePath(path, w)) {
        r.error = lastError();
        return r;
    }
    const DWORD attrs = ::GetFileAttributesW(w.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        r.error = lastError();
        return r;
    }
    if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
        r.kind = Kind::Directory;
        return r;
    }
    // Opening a pipe or a device does not wait; what was opened is checked
    // before it is read.
    const HANDLE h = ::CreateFileW(w.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        r.error = lastError();
        return r;
    }
    r.kind = kindOfType(::GetFileType(h));
    if (r.kind == Kind::Regular) {
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(h, &size) && static_cast<unsigned long long>(size.QuadPart) > limit)
            r.tooLarge = true;
        else
            readUpTo(h, limit, r);
    }
    ::CloseHandle(h);
    return r;
}

ReadResult readStandardInput(std::size_t limit)
{
    ReadResult r;
    const HANDLE h = ::GetStdHandle(STD_INPUT_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE)
        return r; // no standard input: nothing to read
    readUpTo(h, limit, r);
    return r;
}

TempFile createTemporary(const std::string &dir, const std::string &name)
{
    // A hidden name beside the target, as on other systems, with a suffix
    // that no other writer uses at the same moment.
    static std::atomic<unsigned> counter{0};
    TempFile t;
    const std::string base = name.size() > 200 ? name.substr(0, 200) : name;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned long long tag = (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                                       (::GetTickCount64() << 8) ^ counter.fetch_add(1);
        std::string path = dir + "/." + base + "." + std::to_string(tag % 100000000ull);
        std::wstring w;
        if (!widePath(path, w)) {
            t.error = lastError();
            return t;
        }
        const HANDLE h = ::CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD e = ::GetLastError();
            if (e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS)
                continue;
            t.error = static_cast<int>(e);
            return t;
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY);
        if (fd < 0) {
            ::CloseHandle(h);
            ::DeleteFileW(w.c_str());
            t.error = ERROR_TOO_MANY_OPEN_FILES;
            return t;
        }
        t.path = std::move(path);
        t.handle = fd;
        return t;
    }
    t.error = ERROR_FILE_EXISTS;
    return t;
}

int writeAll(int handle, std::string_view bytes)
{
    const HANDLE h = handleOf(handle);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = bytes.size() - done < (1u << 30) ? bytes.size() - done : (1u << 30);
        DWORD n = 0;
        if (!::WriteFile(h, bytes.data() + done, static_cast<DWORD>(chunk), &n, nullptr))
            return lastError();
        if (n == 0)
            return ERROR_WRITE_FAULT;
        done += n;
    }
    return 0;
}

int syncAndClose(int handle)
{
    int e = 0;
    if (!::FlushFileBuffers(handleOf(handle)))
        e = lastError();
    if (::_close(handle) != 0 && e == 0)
        e = ERROR_WRITE_FAULT;
    return e;
}

void closeFile(int handle) { ::_close(handle); }

int syncFile(const std::string &path)
{
    std::wstring w;
    if (!widePath(path, w))
        return lastError();
    const HANDLE h = ::CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    const int e = ::FlushFileBuffers(h) ? 0 : lastError();
    ::CloseHandle(h);
    return e;
}

// Windows has no permission bits: a file is read-only or not, and access
// control lists stay with the folder. A new file is writable; the
// replacement of a writable file is too.
unsigned newFileMode() { return 0666u; }

bool ownerOf(const std::string &path, Owner &owner)
{
    std::wstring w;
    if (!widePath(path, w))
        return false;
    const DWORD attrs = ::GetFileAttributesW(w.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES)
        return false;
    owner.mode = (attrs & FILE_ATTRIBUTE_READONLY) ? 0444u : 0666u;
    return true;
}

int giveOwner(const std::string &path, const Owner &owner)
{
    if (owner.mode & 0222u)
        return 0;
    std::wstring w;
    if (!widePath(path, w))
        return lastError();
    const DWORD attrs = ::GetFileAttributesW(w.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || !::SetFileAttributesW(w.c_str(), attrs | FILE_ATTRIBUTE_READONLY))
        return lastError();
    return 0;
}

int writeAccess(const std::string &path)
{
    std::wstring w;
    if (!widePath(path, w))
        return lastError();
    const DWORD attrs = ::GetFileAttributesW(w.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES)
        return lastError();
    if (attrs & FILE_ATTRIBUTE_READONLY)
        return ERROR_ACCESS_DENIED;
    // The access control list and other programs' locks: opening for
    // writing (without truncating) tells.
    const HANDLE h = ::CreateFileW(w.c_str(), FILE_WRITE_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return lastError();
    ::CloseHandle(h);
    return 0;
}

int replace(const std::string &from, const std::string &to)
{
    std::wstring f, t;
    if (!widePath(from, f) || !widePath(to, t))
        return lastError();
    return ::MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : lastError();
}

void removeFile(const std::string &path)
{
    std::wstring w;
    if (widePath(path, w))
        ::DeleteFileW(w.c_str());
}

// MOVEFILE_WRITE_THROUGH has already flushed the rename.
void syncDirectory(const std::string &) {}

std::vector<std::string> startProgram(int argc, char **argv)
{
    // Chinese text is written as UTF-8 bytes, unchanged: the console shows
    // UTF-8, and no stream turns "\n" into "\r\n", so that files written by
    // redirection have the same bytes as on other systems.
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::_setmode(::_fileno(stdin), _O_BINARY);
    // The arguments in UTF-16 from the system, not argv's local code page
    // (which cannot hold every Chinese file name).
    int n = 0;
    wchar_t **w = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!w)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    for (int i = 0; i < n; ++i)
        args.push_back(utf8(w[i], std::wcslen(w[i])));
    ::LocalFree(w);
    return args;
}

bool localTime(std::time_t t, std::tm &out) { return ::localtime_s(&out, &t) == 0; }

std::string executableDir()
{
    std::wstring self(32768, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (n == 0 || n >= self.size())
        return "./";
    std::string dir = utf8(self.data(), n);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

bool exists(const std::string &path)
{
    std::wstring w;
    return widePath(path, w) && ::GetFileAttributesW(w.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string moduleFileName(const std::string &base) { return base + ".dll"; }

void *loadModule(const std::string &path, std::string &error)
{
    std::wstring w;
    HMODULE h = widePath(path, w) ? ::LoadLibraryW(w.c_str()) : nullptr;
    if (!h)
        error = errorText(lastError());
    return reinterpret_cast<void *>(h);
}

bool toGbk(const std::string &text, std::string &out, std::string &bad)
{
    out.clear();
    bad.clear();
    if (text.empty())
        return true;
    const std::wstring w = wide(text);
    if (w.empty())
        return false; // not UTF-8
    // Converts without the best-fit replacements Windows would otherwise
    // make (a character that has no code must be refused, not guessed).
    const auto convert = [](const wchar_t *p, int n, std::string *to) {
        BOOL usedDefault = FALSE;
        const int m = ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, p, n, nullptr, 0, nullptr, &usedDefault);
        if (m <= 0 || usedDefault)
            return false;
        if (to) {
            to->assign(static_cast<std::size_t>(m), '\0');
            ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, p, n, to->data(), m, nullptr, &usedDefault);
        }
        return true;
    };
    if (convert(w.data(), static_cast<int>(w.size()), &out))
        return true;
    // Find the first character (one UTF-16 unit, or a surrogate pair) without a code.
    for (std::size_t i = 0; i < w.size();) {
        const std::size_t n = (w[i] >= 0xD800 && w[i] <= 0xDBFF && i + 1 < w.size()) ? 2 : 1;
        if (!convert(w.data() + i, static_cast<int>(n), nullptr)) {
            bad = utf8(w.data() + i, n);
            break;
        }
        i += n;
    }
    out.clear();
    return false;
}

void *moduleFunction(void *module, const char *name)
{
    return reinterpret_cast<void *>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

} // namespace chain::platform
