// The workbook and the drawing in a build without libxlsxwriter and dxflib
// (the Windows cross build): asked for one, it says so and writes nothing.
#include "exports.h"

namespace chain::exporting {
namespace {

[[noreturn]] void missing(const char *what)
{
    throw ExportError(std::string("这个版本没有 ") + what + "（构建时未包含 libxlsxwriter 和 dxflib），没有写入。");
}

} // namespace

bool workbooksAndDrawings() { return false; }

void writeXlsx(const std::string &, const AnalysisRun &, const DataSet &) { missing("Excel 工作簿的导出"); }

void writeDxf(const std::string &, const AnalysisRun &) { missing("DXF 图形的导出"); }

std::string writeBatchWorkbook(const std::string &, const std::vector<BatchRow> &) { missing("Excel 工作簿"); }

} // namespace chain::exporting
