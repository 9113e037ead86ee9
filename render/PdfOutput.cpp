#include "render/PdfOutput.h"

#include <QIODevice>
#include <QPdfWriter>

#include <optional>
#include <string_view>

#include "engine/Failure.h"
#include "engine/OutputFile.h"

namespace cardmill {

// What QPdfWriter writes, handed to the output file as it comes. The first failure is kept and everything after
// it dropped: Qt's engine knows nothing of exceptions and writes again while it ends the document.
class PdfOutput::Device : public QIODevice {
public:
    explicit Device(OutputFile& file)
        : m_file(file)
    {
        open(QIODevice::WriteOnly);
    }
    const std::optional<Failure>& failure() const { return m_failure; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (m_failure)
            return size;
        try {
            m_file.write(std::string_view(data, static_cast<std::size_t>(size)));
        } catch (const FailureError& e) {
            m_failure = e.failure();
        } catch (const std::exception& e) {
            m_failure = Failure{FailureId::WriteFile, m_file.target(), e.what()};
        }
        return size;
    }

private:
    OutputFile& m_file;
    std::optional<Failure> m_failure;
};

struct PdfOutput::Parts {
    explicit Parts(const std::filesystem::path& path)
        : file(path)
        , device(file)
    {
    }
    OutputFile file;
    Device device;
    std::unique_ptr<QPdfWriter> writer;
};

PdfOutput::PdfOutput(const std::filesystem::path& path, const QPageLayout& layout, const QString& title)
    : m(std::make_unique<Parts>(path))
{
    m->writer = std::make_unique<QPdfWriter>(&m->device);
    m->writer->setResolution(72);
    m->writer->setCreator(QStringLiteral("CARDMILL"));
    if (!title.isEmpty())
        m->writer->setTitle(title);
    m->writer->setPageLayout(layout);
}

PdfOutput::~PdfOutput() = default; // the writer goes before the file, whose part file goes with it

QPdfWriter& PdfOutput::writer()
{
    return *m->writer;
}

void PdfOutput::finish()
{
    m->writer.reset();
    if (const std::optional<Failure>& failure = m->device.failure())
        throw IoError(failure->id, m->file.target(), failure->detail);
    m->file.commit();
}

} // namespace cardmill
