#include "support/process.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace testproc {

Result run(const QString &program, const QStringList &args, const QByteArray &input, int timeoutMs)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted(10000))
        return {-1, {}, p.errorString()};
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) { // a FIFO or a prompt must not hold the test
        p.kill();
        p.waitForFinished();
        return {-2, {}, QStringLiteral("still running after %1 ms").arg(timeoutMs)};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

Result chainadj(const QStringList &args, const QByteArray &input) { return run(CHAINADJ_EXE, args, input); }

QString tool(const QString &name, const QStringList &args)
{
    const QString exe = QStandardPaths::findExecutable(name);
    if (exe.isEmpty())
        return {};
    const Result r = run(exe, args);
    return r.status == 0 ? r.out : QString();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace testproc
