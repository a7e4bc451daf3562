#include "CatalogueMessages.h"

namespace patternkit {

std::messages_base::catalog CatalogueMessages::do_open(const std::string& name, const std::locale&) const
{
    auto table = LoadStringResources(name, ResourceReading::strict);
    if (!table)
        return -1;
    std::lock_guard<std::mutex> guard(m_lock);
    m_table = std::move(table);
    return 0;
}

CatalogueMessages::string_type CatalogueMessages::do_get(catalog cat, int, int id, const string_type& fallback) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (cat != 0 || !m_table || id < 0)
        return fallback;
    const std::string* text = m_table->Find(static_cast<unsigned>(id));
    return text ? *text : fallback;
}

}  // namespace patternkit
