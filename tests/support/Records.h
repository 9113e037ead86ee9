#pragma once

#include <string>
#include <vector>

#include "engine/LabelMaker.h"

namespace cardmill::test {

// A pass's records with storage of their own, built from rows of values (joined with commas, as the
// data-source files hold them) or from whole lines.
class OwnedRecords {
public:
    OwnedRecords(std::vector<std::string> columns, const std::vector<std::vector<std::string>>& rows);
    static OwnedRecords fromLines(std::vector<std::string> columns, std::vector<std::string> lines);
    OwnedRecords(OwnedRecords&&) = default;
    OwnedRecords(const OwnedRecords&) = delete;
    OwnedRecords& operator=(const OwnedRecords&) = delete;

    operator const PassRecords&() const { return m_records; }
    const PassRecords& records() const { return m_records; }

private:
    OwnedRecords() = default;
    void index(std::vector<std::string> columns);

    std::vector<std::string> m_lines;
    PassRecords m_records;
};

} // namespace cardmill::test
