#include "engine/LabelDrawer.h"

#include <algorithm>

namespace cardmill {

RunLabels::RunLabels(std::vector<std::string> columns, const SortedLines& lines, const GroupedLines& grouped,
                     const std::vector<StreamLabel>& stream)
{
    // The lines label after label, then views of them: the text is complete before any view is taken.
    m_text = std::make_unique<std::string>();
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    m_first.reserve(stream.size());
    m_qsos.reserve(stream.size());
    for (const StreamLabel& label : stream) {
        m_first.push_back(static_cast<std::uint32_t>(spans.size()));
        m_qsos.push_back(label.size);
        const std::vector<std::uint32_t>& group = grouped[label.size];
        for (std::size_t k = 0; k < std::max<std::size_t>(label.size, 1); ++k) {
            const std::string_view line = lines[group[label.first + k]];
            spans.emplace_back(m_text->size(), line.size());
            m_text->append(line);
        }
    }
    std::vector<std::string_view> views;
    views.reserve(spans.size());
    for (const auto& [at, size] : spans)
        views.emplace_back(m_text->data() + at, size);
    m_records = PassRecords(std::move(columns), std::move(views));
}

std::string_view RunLabels::value(std::size_t label, std::string_view column, int qso) const
{
    const int c = m_records.column(column);
    if (c < 0 || qso < 0 || qso >= std::max<int>(m_qsos[label], 1))
        return {};
    return m_records.value(m_first[label] + static_cast<std::size_t>(qso), static_cast<std::size_t>(c));
}

void TextCuts::add(std::size_t label, std::string_view call, std::string_view text)
{
    if (label == m_last)
        return;
    m_last = label;
    if (labels++ == 0) {
        firstLabel = label;
        firstCall = call;
        firstText = text;
    }
}

std::filesystem::path drawnLabelsPath(const std::filesystem::path& base)
{
    std::filesystem::path p = base;
    p += "_labels.pdf";
    return p;
}

} // namespace cardmill
