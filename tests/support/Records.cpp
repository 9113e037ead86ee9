#include "support/Records.h"

namespace cardmill::test {

OwnedRecords::OwnedRecords(std::vector<std::string> columns, const std::vector<std::vector<std::string>>& rows)
{
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += (i ? "," : "") + row[i];
        m_lines.push_back(std::move(line));
    }
    index(std::move(columns));
}

OwnedRecords OwnedRecords::fromLines(std::vector<std::string> columns, std::vector<std::string> lines)
{
    OwnedRecords r;
    r.m_lines = std::move(lines);
    r.index(std::move(columns));
    return r;
}

void OwnedRecords::index(std::vector<std::string> columns)
{
    std::vector<std::string_view> views(m_lines.begin(), m_lines.end());
    m_records = PassRecords(std::move(columns), std::move(views));
}

} // namespace cardmill::test
