#include "engine/RouteList.h"

#include "engine/LineComposer.h"
#include "engine/OutputFile.h"

namespace cardmill {

namespace {

std::string_view whyText(RouteList::Why why)
{
    switch (why) {
    case RouteList::Why::Electronic: return "electronic: no card";
    case RouteList::Why::NoAddressHeld: return "direct, no ADDRESS: held";
    case RouteList::Why::NoAddressByBureau: return "direct, no ADDRESS: by bureau instead";
    case RouteList::Why::UnclearVia:
    case RouteList::Why::Count: break;
    }
    return "QSL_VIA fits no rule: the default route";
}

} // namespace

void RouteList::add(std::string_view line, Why why)
{
    ++m_counts[static_cast<std::size_t>(why)];
    for (const LineColumn column :
         {LineColumn::Call, LineColumn::QsoDate, LineColumn::TimeOn, LineColumn::Band, LineColumn::Mode}) {
        m_text.append(lineColumn(line, column));
        m_text.push_back('\t');
    }
    m_text.append(whyText(why));
    const std::string_view via = lineColumn(line, LineColumn::QslVia);
    if (!via.empty())
        m_text.append("\tQSL_VIA: ").append(via);
    m_text.append("\r\n");
}

void RouteList::write(const std::filesystem::path& path) const
{
    if (empty()) {
        removeOlderOutput(path);
        return;
    }
    OutputFile out(path);
    out.write("CALL\tQSO_DATE\tTIME_ON\tBAND\tMODE\tWHY\r\n");
    out.write(m_text);
    out.commit();
}

} // namespace cardmill
