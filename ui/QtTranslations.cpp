#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>
#include <memory>

namespace cardmill {

namespace {

// What Qt's own Polish texts leave in English in the windows we show (the print dialog's sides and page range),
// whatever their context.
class MissingPolish : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override
    {
        static constexpr std::pair<const char*, const char*> kPolish[] = {
            {"Double Sided Printing", "Druk dwustronny"},
            {"Off", "Wyłączony"},
            {"Long side binding", "Zszywanie wzdłuż dłuższej krawędzi"},
            {"Short side binding", "Zszywanie wzdłuż krótszej krawędzi"},
            {"Pages", "Strony"},
            {"Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a "
             "hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
             "Podaj strony albo zakresy rozdzielone przecinkami. Zakres to dwie liczby rozdzielone łącznikiem, np. "
             "3,5-7,9 drukuje strony 3, 5, 6, 7 i 9."},
        };
        if (source)
            for (const auto& [english, polish] : kPolish)
                if (std::strcmp(source, english) == 0)
                    return QString::fromUtf8(polish);
        return {};
    }
};

} // namespace

bool useQtTranslations(Language language)
{
    static std::unique_ptr<QTranslator> installed;
    static std::unique_ptr<QTranslator> fallback;
    for (std::unique_ptr<QTranslator>* t : {&installed, &fallback})
        if (*t) {
            QCoreApplication::removeTranslator(t->get());
            t->reset();
        }
    if (language == Language::English)
        return true;
    // Ours first: the translators installed last are asked first, so Qt's own texts win where they have one.
    fallback = std::make_unique<MissingPolish>();
    QCoreApplication::installTranslator(fallback.get());
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
