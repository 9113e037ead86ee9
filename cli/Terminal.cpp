#include "cli/Terminal.h"

#include "cli/ConvertOptions.h"

namespace cardmill {

TerminalObserver::TerminalObserver(Language language, std::ostream& err, bool terminal)
    : m_language(language)
    , m_err(err)
    , m_tty(terminal)
{
}

void TerminalObserver::status(TextId id, const TextArgs& args)
{
    if (id == m_statusId && args == m_statusArgs)
        return;
    m_statusId = id;
    m_statusArgs = args;
    std::string status = textFor(id, m_language, args);
    // Leading blanks only indent the window's status bar.
    const std::size_t first = status.find_first_not_of(' ');
    status.erase(0, first == std::string::npos ? status.size() : first);
    if (status == m_status)
        return;
    m_status = std::move(status);
    if (m_tty)
        draw(true);
    else if (!m_status.empty())
        m_err << m_status << '\n';
}

void TerminalObserver::progress(std::size_t position, std::size_t maximum)
{
    const bool shown = m_maximum > 0;
    m_position = position;
    if (maximum != m_maximum) {
        m_maximum = maximum;
        m_shownPercent = -1;
        if (maximum == 0 && shown)
            endBar();
    }
    if (m_tty && m_maximum > 0)
        draw(false);
}

void TerminalObserver::draw(bool force)
{
    if (!m_tty)
        return;
    const std::size_t pos = m_position > m_maximum ? m_maximum : m_position;
    const int percent = m_maximum == 0 ? 0 : static_cast<int>(pos * 100 / m_maximum);
    if (!force && percent == m_shownPercent)
        return;
    m_shownPercent = percent;
    std::string line = "\r\033[K";
    if (m_maximum > 0) {
        constexpr int width = 30;
        const int filled = percent * width / 100;
        line += "[" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(width - filled), ' ') + "] " + std::to_string(percent) + "% ";
    }
    line += m_status;
    m_err << line << std::flush;
    m_barDrawn = true;
}

void TerminalObserver::endBar()
{
    if (m_tty && m_barDrawn) {
        m_err << "\r\033[K" << std::flush;
        m_barDrawn = false;
    }
}

int reportEnding(const RunResult& result, Language language, std::ostream& out, std::ostream& err)
{
    if (result.summary && result.summary->kind == RunSummary::Kind::Labels && result.outcome != RunOutcome::Stopped) {
        for (const MadeLabels& m : result.summary->made)
            out << "Labels: " << m.document.string() << '\n';
        for (const std::filesystem::path& pdf : result.summary->pdfs)
            out << "Labels: " << pdf.string() << '\n';
    }
    const std::string error = textFor(WindowText::CaptionError, language);
    for (const EndingMessage& m : endingMessages(result, language)) {
        switch (m.role) {
        case EndingMessage::Role::Message: {
            const TextEntry entry = textEntry(m.id);
            const std::string text =
                entry.kind == MessageKind::Box ? textFor(entry.caption, language) + ": " + m.text : m.text;
            const bool toErr = entry.kind == MessageKind::Error ||
                               (entry.kind == MessageKind::Box && entry.icon != MessageIcon::Information);
            (toErr ? err : out) << text << std::endl;
            break;
        }
        case EndingMessage::Role::Failure: err << error << ": " << m.text << std::endl; break;
        case EndingMessage::Role::Summary:
            if (!m.notes.empty())
                err << m.notes << std::endl;
            if (m.failed)
                err << error << ": " << m.text << std::endl;
            else
                out << m.text << std::endl;
            break;
        }
    }
    switch (result.outcome) {
    case RunOutcome::Done: return ExitDone;
    case RunOutcome::Stopped: return ExitStopped;
    case RunOutcome::Refused: return ExitPrecondition;
    case RunOutcome::NoData: return ExitNoData;
    case RunOutcome::Locked: return ExitLocked;
    case RunOutcome::Abandoned: break;
    }
    return ExitAbandoned;
}

} // namespace cardmill
