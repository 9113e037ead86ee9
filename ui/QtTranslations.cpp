#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace cardmill {

bool useQtTranslations(Language language)
{
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (language == Language::English)
        return true;
    auto translator = std::make_unique<QTranslator>();
    const QString locale = QStringLiteral("pl");
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
    if (!translator->load(QStringLiteral("qtbase_") + locale, beside) &&
        !translator->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

} // namespace cardmill
