#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace chain::gui {

bool installQtTranslations()
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return false;
    if (app->findChild<QTranslator *>(QStringLiteral("qtbase_zh_CN")))
        return true;
    auto *translator = new QTranslator(app);
    translator->setObjectName(QStringLiteral("qtbase_zh_CN"));
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace chain::gui
