// Running the calculator and other programs from a test: no display (the
// toolkit uses its offscreen platform), standard input closed after `input`,
// a process that hangs is killed.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testproc {

struct Result {
    int status = -1; // exit code; -1 crashed or did not start, -2 still running at the time limit
    QString out, err;
};

Result run(const QString &program, const QStringList &args, const QByteArray &input = {}, int timeoutMs = 60000);
Result chainadj(const QStringList &args, const QByteArray &input = {});

// Standard output of an installed tool (pdftotext, pdfinfo...), empty when
// the tool is missing or fails.
QString tool(const QString &name, const QStringList &args);

QByteArray readFile(const QString &path); // empty when it cannot be read

} // namespace testproc
