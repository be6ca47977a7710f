// The core on every system the text executable is built for (Windows under
// wine as well as Linux): the twelve examples give the native figures, the
// atomic writer replaces whole or not at all and leaves no temporary file,
// files with Chinese names are written and read under their real names,
// UTF-8 is decoded and GBK encoded the same way.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "app/atomicfile.h"
#include "app/platform.h"
#include "app/readfile.h"
#include "app/replay.h"
#include "base/utf8.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path u8path(const std::string &s) { return fs::path(std::u8string(s.begin(), s.end())); }
std::string u8text(const fs::path &p)
{
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

std::string slurp(const fs::path &p)
{
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// A fresh folder for one test, removed afterwards.
struct Scratch {
    fs::path dir;
    Scratch()
    {
        static int n = 0;
        dir = fs::temp_directory_path() / ("chainadj-portable-" + std::to_string(++n));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::permissions(dir / "old.txt", fs::perms::owner_write, fs::perm_options::add, ec);
        fs::remove_all(dir, ec);
    }
    std::string at(const std::string &name) const { return u8text(dir / u8path(name)); }
    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})); }
};

// The replay of a data file: exit status and the window's fields by name.
struct Replayed {
    int status = -1;
    std::map<std::string, std::string> fields;
    std::string err;
};

Replayed replayData(const std::string &path)
{
    chain::ReplayOptions opt;
    opt.data = path;
    opt.fields = true;
    std::ostringstream out, err;
    Replayed r;
    r.status = chain::runReplay(opt, out, err, {});
    r.err = err.str();
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos)
            r.fields[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return r;
}

std::string example(int n) { return std::string(CHAIN_EXAMPLES) + "/case" + std::to_string(n) + ".chain"; }

} // namespace

// Figures of the native (Linux) build for each example: adjusted
// coordinates of two new points, the closing error of the chain and the
// first point's Chinese name as decoded from the file.
TEST_CASE("the twelve examples give the native build's figures")
{
    struct Row {
        int n;
        const char *x2, *y2, *x4, *y4, *closing, *firstName;
    };
    const Row rows[] = {
        {1, "3486.523", "5027.908", "3968.203", "5043.768", "2.24毫米", "城关"},
        {2, "3486.522", "5027.904", "3968.204", "5043.773", "1.74毫米", "张庄"},
        {3, "3486.522", "5027.907", "3968.202", "5043.771", "3.00毫米", "张庄"},
        {4, "3486.523", "5027.904", "3952.662", "5531.485", "1.58毫米", "张庄"},
        {5, "3471.816", "5512.641", "3968.209", "5043.774", "3.38毫米", "李家湾"},
        {6, "3471.816", "5512.639", "3968.204", "5043.772", "2.59毫米", "李家湾"},
        {7, "3486.520", "5027.902", "3952.659", "5531.483", "1.78毫米", "青石岭"},
        {8, "3486.524", "5027.904", "3968.199", "5043.773", "2.25毫米", "青石岭"},
        {9, "3486.519", "5027.903", "3968.204", "5043.771", "1.49毫米", "青石岭"},
        {10, "3486.522", "5027.901", "3952.654", "5531.481", "2.34毫米", "青石岭"},
        {11, "3486.522", "5027.903", "3952.659", "5531.479", "3.08毫米", "青石岭"},
        {12, "3486.522", "5027.904", "3968.205", "5043.774", "1.52毫米", "青石岭"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.n);
        Replayed r = replayData(example(row.n));
        CHECK(r.err.empty());
        CHECK(r.status == 0);
        CHECK(r.fields["Text9(2)"] == row.x2);
        CHECK(r.fields["Text10(2)"] == row.y2);
        CHECK(r.fields["Text9(4)"] == row.x4);
        CHECK(r.fields["Text10(4)"] == row.y4);
        CHECK(r.fields["Text21"] == row.closing);
        CHECK(r.fields["Text8(0)"] == std::string("   ") + row.firstName);
    }
}

TEST_CASE("the atomic writer replaces whole or not at all and leaves no temporary file")
{
    using Kind = chain::WriteError::Kind;
    struct Row {
        const char *what;
        bool oldFile;      // the target exists with "old" before
        bool readOnly;     // ... and is read-only
        const char *name;  // the target, in the scratch folder
        bool fails;        // the producer reports a failure
        bool written;      // the new content is there afterwards
        Kind kind;         // the error when not written
    };
    const Row rows[] = {
        {"a new file", false, false, "new.txt", false, true, Kind::Failed},
        {"an existing file replaced", true, false, "old.txt", false, true, Kind::Failed},
        {"a failed producer keeps the old file", true, false, "old.txt", true, false, Kind::Failed},
        {"a failed producer leaves no new file", false, false, "new.txt", true, false, Kind::Failed},
        {"a read-only file is refused", true, true, "old.txt", false, false, Kind::Refused},
        {"a missing folder is refused", false, false, "无此目录/new.txt", false, false, Kind::Refused},
        {"a folder is refused", false, false, ".", false, false, Kind::Refused},
    };
    for (const Row &row : rows) {
        CAPTURE(row.what);
        Scratch s;
        if (row.oldFile) {
            std::ofstream(s.dir / "old.txt", std::ios::binary) << "old";
            if (row.readOnly)
                fs::permissions(s.dir / "old.txt", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                fs::perm_options::remove);
        }
        const std::size_t before = s.entries();
        const std::string target = s.at(row.name);
        bool threw = false;
        try {
            if (row.fails)
                chain::writeFileAtomically(target, [](const std::string &tmp) {
                    std::ofstream(u8path(tmp), std::ios::binary) << "half";
                    return std::string("磁盘已满");
                });
            else
                chain::writeFileAtomically(target, std::string("new\n第二行\n"));
        } catch (const chain::WriteError &e) {
            threw = true;
            CHECK(e.kind() == row.kind);
            CHECK(std::string(e.what()).find(target) != std::string::npos);
        }
        CHECK(threw == !row.written);
        if (row.written)
            CHECK(slurp(u8path(target)) == "new\n第二行\n");
        else if (row.oldFile)
            CHECK(slurp(s.dir / "old.txt") == "old");
        // Only the target, never a temporary file beside it.
        CHECK(s.entries() == before + (row.written && !row.oldFile ? 1 : 0));
    }
}

TEST_CASE("files with Chinese names are written and read under their real names")
{
    Scratch s;
    fs::create_directories(s.dir / u8path("测量数据"));
    const std::string target = s.at("测量数据/王家坡 二号.chain");
    chain::writeFileAtomically(target, slurp(u8path(example(1))));
    // The system shows the name in UTF-16 as it was given: no code-page
    // question marks.
    CHECK(fs::exists(s.dir / fs::path(u"\u6d4b\u91cf\u6570\u636e") / fs::path(u"\u738b\u5bb6\u5761 \u4e8c\u53f7.chain")));

    const chain::InputFile f = chain::readInputFile(target);
    CHECK(f.status == chain::InputFile::Ok);
    CHECK(f.bytes == slurp(u8path(example(1))));
    const Replayed fromChinese = replayData(target);
    CHECK(fromChinese.status == 0);
    CHECK(fromChinese.fields == replayData(example(1)).fields);
}

TEST_CASE("input files: what is not a readable file is named, never read")
{
#ifdef _WIN32
    const char *kNullDevice = "NUL"; // a device in every folder
#else
    const char *kNullDevice = "/dev/null";
#endif
    Scratch s;
    std::ofstream(s.dir / "big.chain", std::ios::binary) << std::string(2000, 'x');
    struct Row {
        const char *name;
        std::size_t limit;
        chain::InputFile::Status status;
        const char *why;
    };
    const Row rows[] = {
        {"缺少.chain", 1000, chain::InputFile::CannotOpen, "目录或文件不存在"},
        {".", 1000, chain::InputFile::NotRegular, "一个目录"},
        {kNullDevice, 1000, chain::InputFile::NotRegular, "一个设备（字符设备）"},
        {"big.chain", 1000, chain::InputFile::TooLarge, "1000 字节"},
        {"big.chain", 2000, chain::InputFile::Ok, ""},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        CAPTURE(row.limit);
        const chain::InputFile f = chain::readInputFile(s.at(row.name), row.limit);
        CHECK(f.status == row.status);
        CHECK(f.why == row.why);
        CHECK(f.bytes.size() == (row.status == chain::InputFile::Ok ? 2000u : 0u));
    }
}

TEST_CASE("UTF-8 is decoded the same on every system")
{
    struct Row {
        const char *bytes;
        char32_t value;
        std::size_t length;
        bool valid;
    };
    const Row rows[] = {
        {"A", U'A', 1, true},
        {"\xC3\xA9", 0xE9, 2, true},
        {"城", 0x57CE, 3, true},
        {"\xF0\x9F\x98\x80", 0x1F600, 4, true},
        {"\xC0\xAF", 0xFFFD, 1, false},         // overlong "/"
        {"\xED\xA0\x80", 0xFFFD, 1, false},     // a surrogate
        {"\xF4\x90\x80\x80", 0xFFFD, 1, false}, // beyond U+10FFFF
        {"\xE5\x9F", 0xFFFD, 1, false},         // cut short
        {"\xFF", 0xFFFD, 1, false},
    };
    for (const Row &row : rows) {
        CAPTURE(row.bytes);
        const chain::utf8::CodePoint c = chain::utf8::decode(row.bytes, 0);
        CHECK(c.value == row.value);
        CHECK(c.length == row.length);
        CHECK(c.valid == row.valid);
        CHECK(chain::utf8::firstInvalid(std::string("城关") + row.bytes) == (row.valid ? std::string::npos : 6u));
    }
}

TEST_CASE("GBK for the CASS file: the same bytes on every system, no guessed characters")
{
    struct Row {
        const char *utf8;
        const char *gbk; // null: refused
        const char *bad; // the character named when refused
    };
    const Row rows[] = {
        {"城关", "\xB3\xC7\xB9\xD8", ""},
        {"王家坡", "\xCD\xF5\xBC\xD2\xC6\xC2", ""},
        {"A1 北岭", "A1 \xB1\xB1\xC1\xEB", ""},
        {"·é", "\xA1\xA4\xA8\xA6", ""},
        {"", "", ""},
        {"a😀b", nullptr, "😀"},
        {"𠀀", nullptr, "𠀀"},   // in GB 18030, not in GBK
        {"₩100", nullptr, "₩"}, // no best-fit "W"
    };
    for (const Row &row : rows) {
        CAPTURE(row.utf8);
        std::string out = "old", bad = "old";
        const bool ok = chain::platform::toGbk(row.utf8, out, bad);
        CHECK(ok == (row.gbk != nullptr));
        CHECK(out == (row.gbk ? row.gbk : ""));
        CHECK(bad == row.bad);
    }
}
