// A thin layer over libxlsxwriter for the workbooks: a row cursor per
// sheet, number formats by decimals, columns as wide as their widest text
// (East Asian characters count twice), every write checked.
#pragma once

#include <xlsxwriter.h>

#include <array>
#include <string>
#include <vector>

namespace chain::exporting {

class Sheet;

class Workbook {
public:
    explicit Workbook(const std::string &path); // throws ExportError
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    Sheet sheet(const char *name);
    // Writes the file; empty, or the Chinese reason it was not written.
    std::string close();

    lxw_format *number(int decimals);
    lxw_format *boldFormat() const { return bold_; }
    lxw_format *titleFormat() const { return title_; }
    lxw_format *redFormat() const { return red_; }
    lxw_format *wrapFormat() const { return wrap_; } // text of several lines

private:
    lxw_workbook *wb_ = nullptr;
    lxw_format *bold_ = nullptr, *title_ = nullptr, *red_ = nullptr, *wrap_ = nullptr;
    std::array<lxw_format *, 10> numbers_{};
};

// Cells of one row at a time; the column widths are set when it goes.
class Sheet {
public:
    Sheet(Workbook &book, lxw_worksheet *ws) : book_(book), ws_(ws) {}
    ~Sheet();
    Sheet(Sheet &&) = delete;

    void title(const std::string &s);                 // a row of its own
    void header(const std::vector<std::string> &cells); // a row of its own, bold
    void text(int col, const std::string &s, lxw_format *f = nullptr); // empty: no cell
    void number(int col, double v, int decimals);      // not finite: no cell
    void next() { ++row_; }

private:
    void fit(int col, const std::string &text);
    static void check(lxw_error e);

    Workbook &book_;
    lxw_worksheet *ws_;
    lxw_row_t row_ = 0;
    std::vector<double> widths_;
};

} // namespace chain::exporting
