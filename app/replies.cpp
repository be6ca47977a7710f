#include "replies.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <utility>

namespace chain {

std::string sanitizeUtf8(const std::string &in)
{
    static const char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(in.size());
    const auto *s = reinterpret_cast<const unsigned char *>(in.data());
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                out += kReplacement;
            else
                out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        std::size_t len = 0;
        std::uint32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        }
        bool ok = len != 0 && i + len <= n;
        for (std::size_t k = 1; ok && k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (ok && ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))))
            ok = false;
        if (ok && cp >= 0x80 && cp < 0xA0) // C1 controls
            ok = false;
        if (!ok) {
            out += kReplacement;
            ++i;
            continue;
        }
        out.append(in, i, len);
        i += len;
    }
    return out;
}

std::vector<std::string> readReplies(const std::string &path)
{
    std::FILE *f = nullptr;
    const bool stdinput = path == "-";
    if (stdinput) {
        f = stdin;
    } else {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            throw std::runtime_error("无法打开答复文件 " + path + "：" + std::strerror(errno) + "。请检查文件名和路径。");
        if (S_ISDIR(st.st_mode))
            throw std::runtime_error("答复文件 " + path + " 是一个目录，不是文件。请给出答复文件的路径。");
        f = std::fopen(path.c_str(), "rb");
        if (!f)
            throw std::runtime_error("无法打开答复文件 " + path + "：" + std::strerror(errno) + "。请检查文件名和读取权限。");
    }
    std::string data;
    char buf[65536];
    std::size_t got = 0;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, got);
    const bool failed = std::ferror(f) != 0;
    if (!stdinput)
        std::fclose(f);
    if (failed)
        throw std::runtime_error("读取答复文件 " + path + " 时出错。请检查文件是否完好。");
    return splitReplies(std::move(data));
}

std::vector<std::string> splitReplies(std::string data)
{
    if (data.size() >= 3 && data.compare(0, 3, "\xEF\xBB\xBF") == 0)
        data.erase(0, 3); // a byte-order mark some editors write
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        if (end == std::string::npos)
            end = data.size();
        std::size_t len = end - start;
        if (len > 0 && data[end - 1] == '\r')
            --len;
        lines.push_back(sanitizeUtf8(data.substr(start, len)));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string> ScriptedPrompter::prompt(const std::string &text)
{
    if (next_ >= replies_.size())
        throw RepliesExhausted("答复在第 " + std::to_string(next_ + 1) + " 个提示处用完了：「" + text +
                               "」。请在答复文件中补齐其余的答复（每个提示一行）。");
    const std::string &reply = replies_[next_++];
    transcript_.emplace_back(text, reply);
    if (reply == "<cancel>")
        return std::nullopt;
    return reply;
}

} // namespace chain
