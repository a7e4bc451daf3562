// A std::messages facet that reads its catalogue from a locale DLL file, so
// that the engine's standard-locale traits take their texts from it.
#pragma once

#include "LocaleDll.h"

#include <locale>
#include <memory>
#include <mutex>
#include <string>

namespace patternkit {

class CatalogueMessages : public std::messages<char> {
protected:
    // -1 (which the engine reports as an unopenable catalogue) when the file
    // is missing or damaged.
    catalog do_open(const std::string& name, const std::locale&) const override;
    string_type do_get(catalog cat, int set, int id, const string_type& fallback) const override;
    void do_close(catalog) const override {}

private:
    mutable std::mutex m_lock;
    mutable std::shared_ptr<const StringResources> m_table;
};

}  // namespace patternkit
