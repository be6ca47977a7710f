#include "fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

namespace chain::fonts {
namespace {

// Families with Simplified Chinese glyphs, most wanted first. Noto CJK comes
// after the WenQuanYi fonts: under Qt 6.4 its PDF text layer loses digits
// that follow Latin letters.
const char *const kPreferred[] = {
    "WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Droid Sans Fallback", "Noto Sans CJK SC", "Noto Serif CJK SC",
    "Source Han Sans SC",  "Source Han Sans CN", "AR PL UMing CN",     "AR PL UKai CN",   "Noto Sans SC",
};

// The names the form and the report use, and the other names of SimSun
// (mapped onto SimSun itself where it is installed).
const char *const kAliases[] = {"MS Sans Serif", "宋体", "SimSun", "新宋体", "NSimSun", "MS Song"};

} // namespace

QString chineseFamily()
{
    const QStringList installed = QFontDatabase::families();
    for (const char *name : kPreferred) {
        const QString family = QString::fromUtf8(name);
        if (installed.contains(family, Qt::CaseInsensitive))
            return family;
    }
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString &family : chinese)
        if (!QFontDatabase::isPrivateFamily(family))
            return family;
    return {};
}

QString installFontSubstitutions()
{
    if (!QGuiApplication::instance())
        return {};
    const QString family = chineseFamily();
    if (family.isEmpty())
        return {};
    // Installed names themselves (not through fontconfig's aliases) win.
    const QStringList installed = QFontDatabase::families();
    const auto has = [&installed](const QString &f) { return installed.contains(f, Qt::CaseInsensitive); };
    const QString simsun = has(QStringLiteral("SimSun")) ? QStringLiteral("SimSun") : family;
    for (const char *alias : kAliases) {
        const QString name = QString::fromUtf8(alias);
        if (has(name))
            continue;
        const QString target = name == QLatin1String("MS Sans Serif") ? family : simsun;
        if (QFont::substitutes(name).value(0).compare(target, Qt::CaseInsensitive) != 0) {
            QFont::removeSubstitutions(name);
            QFont::insertSubstitution(name, target);
        }
    }
    return family;
}

QFont sansFont(qreal pointSize)
{
    QFont f(QString::fromUtf8(kSansFamily));
    f.setPointSizeF(pointSize);
    return f;
}

QFont songFont(qreal pointSize)
{
    QFont f(QString::fromUtf8(kSongFamily));
    f.setPointSizeF(pointSize);
    return f;
}

} // namespace chain::fonts
