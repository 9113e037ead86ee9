#include "ui/Messages.h"

namespace cardmill {

namespace {

UserInteraction::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Error: return UserInteraction::Icon::Error;
    case MessageIcon::Warning: return UserInteraction::Icon::Warning;
    case MessageIcon::Information: return UserInteraction::Icon::Information;
    case MessageIcon::None: break;
    }
    return UserInteraction::Icon::None;
}

void show(QWidget* parent, const TextEntry& entry, const std::string& text, Language l)
{
    std::string caption = "CARDMILL";
    UserInteraction::Icon icon = UserInteraction::Icon::None;
    switch (entry.kind) {
    case MessageKind::Error:
        caption = textFor(WindowText::CaptionError, l);
        icon = UserInteraction::Icon::Error;
        break;
    case MessageKind::Information:
        caption = textFor(WindowText::CaptionInformation, l);
        icon = UserInteraction::Icon::Information;
        break;
    case MessageKind::Box:
        caption = textFor(entry.caption, l);
        icon = iconOf(entry.icon);
        break;
    case MessageKind::None: break;
    }
    userInteraction().message(parent, caption, text, icon);
}

} // namespace

void showTextMessage(QWidget* parent, TextId id, Language l, const std::vector<std::string>& args)
{
    show(parent, textEntry(id), textFor(id, l, args), l);
}

void showTextMessage(QWidget* parent, WindowText id, Language l, const std::vector<std::string>& args)
{
    show(parent, textEntry(id), textFor(id, l, args), l);
}

void showEnding(QWidget* parent, const EndingMessage& m, Language l)
{
    switch (m.role) {
    case EndingMessage::Role::Message: show(parent, textEntry(m.id), m.text, l); break;
    case EndingMessage::Role::Failure:
        userInteraction().message(parent, textFor(WindowText::CaptionError, l), m.text, UserInteraction::Icon::Error);
        break;
    case EndingMessage::Role::Summary:
        userInteraction().message(parent,
                                  textFor(m.failed ? WindowText::CaptionError : WindowText::CaptionInformation, l),
                                  m.text + (m.notes.empty() ? "" : "\n\n" + m.notes),
                                  m.failed ? UserInteraction::Icon::Error : UserInteraction::Icon::Information);
        break;
    }
}

UserInteraction::Answer askText(QWidget* parent, WindowText id, Language l, bool withCancel,
                                const std::vector<std::string>& args, UserInteraction::Answer preferred)
{
    const TextEntry& entry = textEntry(id);
    return userInteraction().ask(parent, textFor(entry.caption, l), textFor(id, l, args), iconOf(entry.icon),
                                 withCancel, preferred);
}

// The message for a name that cannot be a profile's.
WindowText profileNameProblemText(ProfileNameProblem p)
{
    switch (p) {
    case ProfileNameProblem::Empty: return WindowText::NoProfileName;
    case ProfileNameProblem::Brackets: return WindowText::ProfileNameBrackets;
    case ProfileNameProblem::Blanks: return WindowText::ProfileNameBlanks;
    case ProfileNameProblem::Control: return WindowText::ProfileNameControl;
    case ProfileNameProblem::Reserved: return WindowText::ProfileNameReserved;
    case ProfileNameProblem::None: break;
    }
    return WindowText::Count;
}

} // namespace cardmill
