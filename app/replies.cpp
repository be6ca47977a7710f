#include "replies.h"

#include "readfile.h"
#include "base/utf8.h"

#include <utility>

namespace chain {

std::string sanitizeUtf8(const std::string &in) { return utf8::sanitize(in); }

std::vector<std::string> readReplies(const std::string &path)
{
    InputFile f = readInputFile(path);
    const std::string name = path == "-" ? std::string("（标准输入）") : utf8::quote(path);
    switch (f.status) {
    case InputFile::Ok: break;
    case InputFile::CannotOpen:
        throw std::runtime_error("无法打开答复文件" + name + "（" + f.why + "）。请检查文件名和路径。");
    case InputFile::ReadFailed:
        throw std::runtime_error("读取答复文件" + name + "时出错（" + f.why + "）。请检查文件是否完好。");
    case InputFile::NotRegular:
        throw std::runtime_error("答复文件" + name + "是" + f.why + "，不是普通文件，没有读取。请给出答复文件的路径。");
    case InputFile::TooLarge:
        throw std::runtime_error("答复文件" + name + "超过 " + f.why + "，读到 " + f.why +
                                 " 为止，没有进行计算。答复文件每个提示一行，请检查选择的文件。");
    }
    return splitReplies(std::move(f.bytes));
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
