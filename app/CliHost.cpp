#include "app/CliHost.h"

#include <iostream>

#include "engine/Files.h"
#include "engine/Termination.h"

namespace cardmill {

// Ctrl-C, SIGTERM and SIGHUP are the "Stop" button while it is enabled (see engine/Termination); a second one, or
// one while "Stop" is disabled, ends the program at once after removing the run's scratch files.
CliHost::CliHost(Options options)
    : m_options(std::move(options))
    , m_tty(files::isTerminal(stderr))
{
    termination::clear();
    termination::setStoppable(false);
}

CliHost::~CliHost() = default;

bool CliHost::qslFilterEnabled(QslFilter filter) const
{
    return m_options.qsl.count(filter) != 0;
}

bool CliHost::qslBoxTicked(QslFilter filter, QslBox box) const
{
    const auto it = m_options.qsl.find(filter);
    return it != m_options.qsl.end() && it->second.count(box) != 0;
}

void CliHost::setStatus(TextId id, const TextArgs& args)
{
    if (id == m_statusId && args == m_statusArgs)
        return; // the run sets its status before every record
    m_statusId = id;
    m_statusArgs = args;
    setStatusText(textFor(id, m_options.language, args));
}

void CliHost::setStatusText(std::string status)
{
    // Leading blanks only indent the window's status bar.
    status.erase(0, status.find_first_not_of(' ') == std::string::npos ? status.size() : status.find_first_not_of(' '));
    if (status == m_status)
        return;
    m_status = std::move(status);
    if (m_tty) {
        draw(true);
    } else if (!m_status.empty()) {
        std::cerr << m_status << '\n';
    }
}

void CliHost::showProgress(bool visible)
{
    if (visible == m_barVisible)
        return;
    m_barVisible = visible;
    m_shownPercent = -1;
    if (!visible)
        endBar();
    else
        draw(true);
}

void CliHost::setProgressRange(std::size_t maximum)
{
    m_maximum = maximum;
    m_shownPercent = -1;
}

void CliHost::setProgressPosition(std::size_t position)
{
    m_position = position;
    if (m_tty && m_barVisible)
        draw(false);
}

void CliHost::draw(bool force)
{
    if (!m_tty)
        return;
    const std::size_t pos = m_position > m_maximum ? m_maximum : m_position;
    const int percent = m_maximum == 0 ? 0 : static_cast<int>(pos * 100 / m_maximum);
    if (!force && percent == m_shownPercent)
        return;
    m_shownPercent = percent;
    std::string line = "\r\033[K";
    if (m_barVisible) {
        constexpr int width = 30;
        const int filled = percent * width / 100;
        line += "[" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(width - filled), ' ') + "] " + std::to_string(percent) + "% ";
    }
    line += m_status;
    std::cerr << line << std::flush;
    m_barDrawn = true;
}

void CliHost::endBar()
{
    if (m_tty && m_barDrawn) {
        std::cerr << "\r\033[K" << std::flush;
        m_barDrawn = false;
    }
}

void CliHost::showMessage(TextId id, const TextArgs& args)
{
    endBar();
    const TextEntry& entry = textEntry(id);
    std::string text = textFor(id, m_options.language, args);
    if (entry.kind == MessageKind::Box)
        text = textFor(entry.caption, m_options.language) + ": " + text;
    const bool toStdErr =
        entry.kind == MessageKind::Error || (entry.kind == MessageKind::Box && entry.icon != MessageIcon::Information);
    (toStdErr ? std::cerr : std::cout) << text << std::endl;
}

void CliHost::showSummary(const RunSummary& summary)
{
    endBar();
    const std::string text = summaryText(summary, m_options.language);
    if (const std::string warnings = warningsText(summary, m_options.language); !warnings.empty())
        std::cerr << warnings << std::endl;
    if (summary.kind == RunSummary::Kind::MergeFailed)
        std::cerr << textFor(WindowText::CaptionError, m_options.language) << ": " << text << std::endl;
    else
        std::cout << text << std::endl;
}

void CliHost::showError(const Failure& failure)
{
    endBar();
    std::cerr << textFor(WindowText::CaptionError, m_options.language) << ": "
              << failureText(failure, m_options.language) << std::endl;
}

bool CliHost::stopRequested() const
{
    return termination::received();
}

void CliHost::clearStopRequest()
{
    termination::clear();
}

void CliHost::setStopEnabled(bool enabled)
{
    termination::setStoppable(enabled);
}

} // namespace cardmill
