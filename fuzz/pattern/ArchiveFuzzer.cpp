// Loads a RegularExpression from arbitrary bytes, through the framework's
// object reading (first byte even) or straight into an existing object with a
// chosen schema (first byte odd). A load either throws CArchiveException or
// yields an object that stores and loads back equal to itself.
#include <patternkit/RegularExpression.h>

#include <framework/CArchive.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "StoredAndLoaded.h"

namespace {

void RoundTrip(RegularExpression& re)
{
    const std::unique_ptr<RegularExpression> again = StoredAndLoaded(re);
    if (!again || !(*again == re))
        std::abort();
    RegularExpression copy(re);
    if (!(copy == re))
        std::abort();
    (void)re.GetExpressionError();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t mode = data[0];
    std::vector<unsigned char> bytes(data + 1, data + size);
    try {
        CArchive ar(bytes, CArchive::load);
        if (mode % 2 == 0) {
            std::unique_ptr<CObject> object(ar.ReadObject(RegularExpression::GetThisClass()));
            if (auto* re = dynamic_cast<RegularExpression*>(object.get()))
                RoundTrip(*re);
        } else {
            static const unsigned kSchemas[] = {0, 1, 2, 3, 0xFFFFFFFFu};
            RegularExpression re;
            re.SetExpression("kept");
            ar.SetObjectSchema(kSchemas[(mode / 2) % 5]);
            try {
                re.Serialize(ar);
            } catch (const CArchiveException&) {
                // A failed load leaves the object as it was.
                if (re.GetExpression() != "kept")
                    std::abort();
            }
            RoundTrip(re);
        }
    } catch (const CArchiveException&) {
    }
    return 0;
}
