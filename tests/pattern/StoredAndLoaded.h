// An object stored through the framework's object writing and loaded back.
#pragma once

#include <patternkit/RegularExpression.h>

#include <framework/CArchive.h>

#include <memory>
#include <vector>

// Null when the archive does not load; throws what a load throws.
inline std::unique_ptr<RegularExpression> StoredAndLoaded(const RegularExpression& re)
{
    std::vector<unsigned char> bytes;
    {
        CArchive out(bytes, CArchive::store);
        out.WriteObject(&re);
    }
    CArchive in(bytes, CArchive::load);
    return std::unique_ptr<RegularExpression>(
        static_cast<RegularExpression*>(in.ReadObject(RegularExpression::GetThisClass())));
}
