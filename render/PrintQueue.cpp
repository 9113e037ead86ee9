// Print queues: the one place that talks to the print system, a POSIX half (CUPS) and a Windows half (the
// spooler).
#include "render/PrintQueue.h"

#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

#include <string_view>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <winspool.h>
#else
#include <QPdfWriter>
#include <cups/cups.h>

#include "render/PdfOutput.h"
#endif

#include "engine/Failure.h"
#include "engine/Files.h"
#include "engine/TempFiles.h"

namespace cardmill {

#ifdef _WIN32

namespace {

std::wstring wide(const std::string& utf8)
{
    return files::pathFromUtf8(utf8).native();
}

std::string utf8(const wchar_t* text)
{
    return text ? files::utf8Of(std::filesystem::path(text)) : std::string();
}

struct Printer {
    HANDLE handle = nullptr;
    ~Printer()
    {
        if (handle)
            ::ClosePrinter(handle);
    }
};

} // namespace

std::string requirePrintQueue(const std::string& printer)
{
    std::wstring name = wide(printer);
    if (name.empty()) {
        DWORD size = 0;
        ::GetDefaultPrinterW(nullptr, &size);
        std::wstring fallback(size, L'\0');
        if (size == 0 || !::GetDefaultPrinterW(fallback.data(), &size))
            throw FailureError({FailureId::PrinterMissing, {}, {}});
        fallback.resize(size > 0 ? size - 1 : 0);
        name = fallback;
    }
    Printer p;
    if (!::OpenPrinterW(name.data(), &p.handle, nullptr))
        throw FailureError({FailureId::PrinterMissing, {}, printer});
    DWORD needed = 0;
    ::GetPrinterW(p.handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed > 0 && ::GetPrinterW(p.handle, 2, buffer.data(), needed, &needed)) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
        if (info->Status & PRINTER_STATUS_PENDING_DELETION)
            throw FailureError({FailureId::PrinterRefusing, {}, "pending deletion", utf8(name.c_str())});
    }
    return utf8(name.c_str());
}

struct PrintJob::State {
    QPrinter& printer;
    std::string queue;
    DWORD job = 0; // held in the queue; 0 when the spooler did not show it
    bool committed = false;

    // Pauses, resumes or deletes the held job.
    bool control(DWORD command) const
    {
        Printer p;
        std::wstring name = wide(queue);
        return job != 0 && ::OpenPrinterW(name.data(), &p.handle, nullptr) &&
               ::SetJobW(p.handle, job, 0, nullptr, command);
    }
};

PrintJob::PrintJob(QPrinter& printer, const QPageLayout& layout)
    : m(new State{printer, requirePrintQueue(printer.printerName().toStdString())})
{
    printer.setPrinterName(QString::fromStdString(m->queue));
    printer.setFullPage(true);
    printer.setPageLayout(layout);
}

PrintJob::~PrintJob()
{
    if (!m->committed)
        m->control(JOB_CONTROL_DELETE);
}

const std::string& PrintJob::queue() const
{
    return m->queue;
}

QPagedPaintDevice& PrintJob::device()
{
    return m->printer;
}

void PrintJob::begun()
{
    // The spooler shows the job from its start: the newest of this document's name still spooling is ours.
    Printer p;
    std::wstring name = wide(m->queue);
    if (!::OpenPrinterW(name.data(), &p.handle, nullptr))
        return;
    DWORD needed = 0, count = 0;
    ::EnumJobsW(p.handle, 0, 0xffff, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !::EnumJobsW(p.handle, 0, 0xffff, 1, buffer.data(), needed, &needed, &count))
        return;
    const std::wstring document = m->printer.docName().toStdWString();
    const auto* jobs = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if ((jobs[i].Status & JOB_STATUS_SPOOLING) && jobs[i].pDocument && document == jobs[i].pDocument &&
            jobs[i].JobId > m->job)
            m->job = jobs[i].JobId;
    if (!m->control(JOB_CONTROL_PAUSE))
        m->job = 0;
}

void PrintJob::commit()
{
    if (m->printer.printerState() == QPrinter::Error || m->printer.printerState() == QPrinter::Aborted)
        throw FailureError({FailureId::PrintRefused, {}, "the spooler ended the job", m->queue});
    m->committed = true;
    m->control(JOB_CONTROL_RESUME);
}

bool PrintJob::takesPdf()
{
    return false;
}

void PrintJob::commitPdf(const std::filesystem::path&)
{
    throw FailureError({FailureId::PrintRefused, {}, "the spooler takes no PDF", m->queue});
}

#else // POSIX: CUPS

namespace {

struct Destination {
    cups_dest_t* dest = nullptr;
    ~Destination()
    {
        if (dest)
            cupsFreeDests(1, dest);
    }
};

// "queue/instance" into its two parts.
std::pair<std::string, std::string> queueAndInstance(const std::string& printer)
{
    const std::size_t slash = printer.find('/');
    if (slash == std::string::npos)
        return {printer, {}};
    return {printer.substr(0, slash), printer.substr(slash + 1)};
}

std::string option(const cups_dest_t* dest, const char* name)
{
    const char* value = cupsGetOption(name, dest->num_options, dest->options);
    return value ? value : "";
}

// What the queue says of its state ("out of labels", as its administrator said when rejecting jobs); empty
// when it says nothing.
std::string stateMessage(const cups_dest_t* dest)
{
    const std::string uri = option(dest, "printer-uri-supported");
    if (uri.empty())
        return {};
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr, "printer-state-message");
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"); // takes `request`
    std::string message;
    if (ipp_attribute_t* a = response ? ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT) : nullptr)
        if (const char* text = ippGetString(a, 0, nullptr))
            message = text;
    ippDelete(response);
    return message;
}

// The job's options, as Qt's own CUPS printing gives them: the paper, one or two sides, copies, and the
// options a print dialog left on the printer.
class JobOptions {
public:
    JobOptions(QPrinter& printer, const QPageLayout& layout)
    {
        const QSizeF portrait = layout.pageSize().size(QPageSize::Millimeter);
        const QPageSize standard(portrait, QPageSize::Millimeter, {}, QPageSize::FuzzyMatch);
        add("media", standard.id() != QPageSize::Custom
                         ? standard.key().toStdString()
                         : "Custom." + QString::number(portrait.width(), 'f', 1).toStdString() + "x" +
                               QString::number(portrait.height(), 'f', 1).toStdString() + "mm");
        switch (printer.duplex()) {
        case QPrinter::DuplexNone: add("sides", "one-sided"); break;
        case QPrinter::DuplexAuto:
            add("sides",
                layout.orientation() == QPageLayout::Portrait ? "two-sided-long-edge" : "two-sided-short-edge");
            break;
        case QPrinter::DuplexLongSide: add("sides", "two-sided-long-edge"); break;
        case QPrinter::DuplexShortSide: add("sides", "two-sided-short-edge"); break;
        }
        if (layout.orientation() == QPageLayout::Landscape)
            add("landscape", "");
        if (printer.copyCount() > 1) {
            add("copies", std::to_string(printer.copyCount()));
            if (printer.collateCopies())
                add("Collate", "True");
        }
        // What the print dialog's printer properties chose, as name and value in turn (Qt's own key for them).
        constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
        const QStringList chosen =
            printer.printEngine() ? printer.printEngine()->property(kCupsOptions).toStringList() : QStringList();
        for (qsizetype i = 0; i + 1 < chosen.size(); i += 2)
            add(chosen[i].toStdString(), chosen[i + 1].toStdString());
    }
    ~JobOptions() { cupsFreeOptions(m_count, m_options); }
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;

    int count() const { return m_count; }
    cups_option_t* options() const { return m_options; }

private:
    void add(const std::string& name, const std::string& value)
    {
        m_count = cupsAddOption(name.c_str(), value.c_str(), m_count, &m_options);
    }
    int m_count = 0;
    cups_option_t* m_options = nullptr;
};

} // namespace

std::string requirePrintQueue(const std::string& printer)
{
    const auto [queue, instance] = queueAndInstance(printer);
    Destination d{cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.empty() ? nullptr : queue.c_str(),
                                   instance.empty() ? nullptr : instance.c_str())};
    if (!d.dest)
        throw FailureError({FailureId::PrinterMissing, {}, printer});
    const std::string name = std::string(d.dest->name) + (d.dest->instance ? "/" + std::string(d.dest->instance) : "");
    if (option(d.dest, "printer-is-accepting-jobs") == "false") {
        const std::string why = stateMessage(d.dest);
        throw FailureError({FailureId::PrinterRefusing, {}, why.empty() ? "rejecting jobs" : why, name});
    }
    return name;
}

struct PrintJob::State {
    QPrinter& printer;
    QPageLayout layout;
    std::string queue;
    std::filesystem::path folder; // the scratch folder of the pages
    std::unique_ptr<PdfOutput> pdf;

    ~State()
    {
        pdf.reset();
        if (!folder.empty())
            removeScratchFolder(folder);
    }

    void submit(const std::filesystem::path& file) const
    {
        const JobOptions options(printer, layout);
        const std::string title = printer.docName().toStdString();
        const std::string queueName = queueAndInstance(queue).first;
        const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, queueName.c_str(), file.c_str(), title.c_str(),
                                       options.count(), options.options());
        if (job <= 0)
            throw FailureError({FailureId::PrintRefused, {}, cupsLastErrorString(), queue});
    }
};

PrintJob::PrintJob(QPrinter& printer, const QPageLayout& layout)
    : m(new State{printer, layout, requirePrintQueue(printer.printerName().toStdString()), {}, {}})
{
}

PrintJob::~PrintJob() = default;

const std::string& PrintJob::queue() const
{
    return m->queue;
}

QPagedPaintDevice& PrintJob::device()
{
    if (!m->pdf) {
        m->folder = scratchFolder("print");
        m->pdf = std::make_unique<PdfOutput>(m->folder / "labels.pdf", m->layout, m->printer.docName());
    }
    return m->pdf->writer();
}

void PrintJob::begun() {}

void PrintJob::commit()
{
    device();
    m->pdf->finish();
    m->submit(m->folder / "labels.pdf");
}

bool PrintJob::takesPdf()
{
    return true;
}

void PrintJob::commitPdf(const std::filesystem::path& pdf)
{
    m->submit(pdf);
}

#endif

} // namespace cardmill
