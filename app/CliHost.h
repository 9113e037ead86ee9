#pragma once

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/RunHost.h"
#include "ui/Texts.h"

namespace cardmill {

// The command-line converter's side of a run: the options stand in for the window's controls, the status
// and a progress bar go to standard error, messages to standard output (errors to standard error), and
// Ctrl-C is the "Stop" button.
class CliHost : public RunHost {
public:
    struct Options {
        std::filesystem::path log;
        std::filesystem::path swl;
        std::filesystem::path mainDocument;
        int labelSize = 1;
        int qrgFormat = 1;
        int dateFormat = 0;
        std::string separator = "-";
        std::vector<std::string> fields;
        bool callEnabled = false;
        std::string call;
        bool dateRange = false;
        PickerDate from;
        PickerDate to;
        std::map<QslFilter, std::set<QslBox>> qsl; // a filter is on when it has an entry
        Language language = Language::English;
        bool keepTemporary = false;
        bool merge = true;
        bool pdf = false;
        SentMarking marking;
        int startLabel = 1;
    };

    explicit CliHost(Options options);
    ~CliHost() override;

    // ConversionSettings
    QrgFormat qrgFormat() const override { return qrgFormatAt(m_options.qrgFormat); }
    int dateFormatIndex() const override { return m_options.dateFormat; }
    std::string dateSeparator() const override { return m_options.separator; }
    void userFieldsInto(std::vector<std::string>& fields) const override { fields = m_options.fields; }
    bool dateRangeEnabled() const override { return m_options.dateRange; }
    PickerDate dateFrom() const override { return m_options.from; }
    PickerDate dateTo() const override { return m_options.to; }
    bool qslFilterEnabled(QslFilter filter) const override;
    bool qslBoxTicked(QslFilter filter, QslBox box) const override;
    bool callFilterEnabled() const override { return m_options.callEnabled; }
    std::string callFilterText() const override { return m_options.call; }

    // RunHost
    std::filesystem::path logPath() const override { return m_options.log; }
    std::filesystem::path swlPath() const override { return m_options.swl; }
    std::filesystem::path mainDocumentPath() const override { return m_options.mainDocument; }
    int labelSize() const override { return m_options.labelSize; }
    bool keepTemporaryFile() const override { return m_options.keepTemporary; }
    SentMarking sentMarking() const override { return m_options.marking; }
    int startLabel() const override { return m_options.startLabel; }
    bool polishLanguage() const override { return m_options.language == Language::Polish; }
    void setStatus(TextId id, const TextArgs& args) override;
    void showProgress(bool visible) override;
    void setProgressRange(std::size_t maximum) override;
    void setProgressPosition(std::size_t position) override;
    void showMessage(TextId id, const TextArgs& args) override;
    void showSummary(const RunSummary& summary) override;
    void showError(const Failure& failure) override;
    void processEvents() override {}
    bool stopRequested() const override;
    void clearStopRequest() override;
    void setStopEnabled(bool enabled) override;

    const Options& options() const { return m_options; }
    // A status text made elsewhere (LibreOffice's progress).
    void setStatusText(std::string text);
    Language language() const { return m_options.language; }

private:
    void draw(bool force);
    void endBar();

    Options m_options;
    bool m_tty = false;
    bool m_barVisible = false;
    bool m_barDrawn = false;
    std::size_t m_maximum = 0;
    std::size_t m_position = 0;
    int m_shownPercent = -1;
    std::string m_status;
    TextId m_statusId = TextId::Count;
    TextArgs m_statusArgs;
};

} // namespace cardmill
