#include <framework/CObject.h>

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct ClassRegistry {
    std::mutex lock;
    std::vector<const CRuntimeClass*> classes;
};

// Built on first use so that registrations from other translation units'
// static initialisers never meet an unconstructed registry.
ClassRegistry& Registry()
{
    static ClassRegistry registry;
    return registry;
}

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr};

CObject::~CObject() = default;

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* cls) const
{
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base)
            return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name)
{
    ClassRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.lock);
    for (const CRuntimeClass* c : registry.classes)
        if (std::strcmp(c->m_lpszClassName, name) == 0)
            return c;
    return nullptr;
}

CClassRegistration::CClassRegistration(const CRuntimeClass* cls)
{
    ClassRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.lock);
    registry.classes.push_back(cls);
}
