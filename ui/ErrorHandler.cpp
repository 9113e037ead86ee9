#include "ui/ErrorHandler.h"

#include <QApplication>

#include "engine/Failure.h"
#include "ui/UserInteraction.h"

namespace cardmill {

namespace {

std::function<Language()>& languageSource()
{
    static std::function<Language()> source = [] { return Language::English; };
    return source;
}

} // namespace

void setErrorLanguage(std::function<Language()> language)
{
    languageSource() = std::move(language);
}

std::string errorText(const std::exception& error, Language language)
{
    if (const auto* failure = dynamic_cast<const FailureError*>(&error))
        return failureText(failure->failure(), language);
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return failureText({FailureId::Other, {}, "Not enough memory"}, language);
    return error.what();
}

void handleError(const std::exception& error)
{
    const Language language = languageSource()();
    userInteraction().message(QApplication::activeWindow(), textFor(WindowText::CaptionError, language),
                              errorText(error, language), UserInteraction::Icon::Error);
}

void guarded(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        handleError(e);
    }
}

} // namespace cardmill
