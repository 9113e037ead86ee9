#pragma once

#include <QPageLayout>

#include <filesystem>
#include <memory>
#include <string>

class QPagedPaintDevice;
class QPrinter;

namespace cardmill {

// The system's print queues: the one place that talks to the print system, a POSIX half (CUPS) and a Windows
// half (the spooler). A print is done when the system took the job, and only then.

// The queue `printer` names (the system's default one when empty), as the system names it, once it is known to
// take jobs. Throws FailureError: PrinterMissing when there is no such queue, PrinterRefusing when it takes none.
std::string requirePrintQueue(const std::string& printer);

// One job on a queue, handed over whole or not at all: its pages are painted on device(), and nothing reaches
// the queue before commit(). A job destroyed uncommitted leaves nothing in any queue.
//
// On POSIX the pages become a PDF in a private scratch folder, which commit() hands to CUPS in one request. On
// Windows the pages go to the printer itself, and the spooler holds the job from its first page until commit();
// a job withdrawn is deleted from the queue before the printer sees it.
class PrintJob {
public:
    // A job for the printer `printer` is set to, with the copies, sides and options a print dialog left on it,
    // on paper of `layout`. Throws FailureError as requirePrintQueue does.
    PrintJob(QPrinter& printer, const QPageLayout& layout);
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // The queue's name, as the system knows it.
    const std::string& queue() const;

    // What the pages are painted on. Throws IoError when the scratch file cannot be made.
    QPagedPaintDevice& device();
    // To be called once the painter has begun on device(), before the first page is finished.
    void begun();
    // Hands the job over; the painter must have ended. Throws FailureError (PrintRefused) when the system does
    // not take it, IoError when the pages could not be written.
    void commit();

    // Whether commitPdf() takes a PDF already drawn, instead of pages painted on device().
    static bool takesPdf();
    // Hands `pdf` over as the job. Throws FailureError (PrintRefused).
    void commitPdf(const std::filesystem::path& pdf);

private:
    struct State;
    std::unique_ptr<State> m;
};

} // namespace cardmill
