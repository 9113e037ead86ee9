#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "engine/RunObserver.h"
#include "engine/RunSummary.h"
#include "texts/Texts.h"

namespace cardmill {

// A run's progress on a terminal: the status text and a bar redrawn on one line of standard error; when
// standard error is no terminal, each status text once on a line of its own.
class TerminalObserver : public RunObserver {
public:
    TerminalObserver(Language language, std::ostream& err, bool terminal);

    void status(TextId id, const TextArgs& args) override;
    void progress(std::size_t position, std::size_t maximum) override;
    // Ends the bar's line, so that what is printed next starts on a line of its own.
    void endBar();

private:
    void draw(bool force);

    Language m_language;
    std::ostream& m_err;
    bool m_tty;
    bool m_barDrawn = false;
    std::size_t m_maximum = 0;
    std::size_t m_position = 0;
    int m_shownPercent = -1;
    std::string m_status;
    TextId m_statusId = TextId::Count;
    TextArgs m_statusArgs;
};

// Says how a run ended, as the command line says it: the label documents and PDFs made a line each ("Labels:
// ..."), the run's messages, notes and the closing message on standard output, errors (and a closing message
// of a run that did not make all it was asked to) on standard error. Returns the exit code.
int reportEnding(const RunResult& result, Language language, std::ostream& out, std::ostream& err);

} // namespace cardmill
