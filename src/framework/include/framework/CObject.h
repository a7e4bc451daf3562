// Runtime classes: the framework's class name, schema and factory record.
#pragma once

#include <framework/Export.h>

class CArchive;
class CObject;

// Set in a class's schema when archives of older schemas are offered to its
// Serialize (which then asks CArchive::GetObjectSchema); without it a schema
// mismatch fails the load.
constexpr unsigned int VERSIONABLE_SCHEMA = 0x80000000u;

struct FOLIVO_EXPORT CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    unsigned int m_wSchema;           // schema, possibly with VERSIONABLE_SCHEMA
    CObject* (*m_pfnCreateObject)();  // null for classes that cannot be created
    const CRuntimeClass* m_pBaseClass;

    // A new default-constructed object, or null when the class has no factory.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
    // The stored schema without the VERSIONABLE_SCHEMA bit.
    unsigned int Schema() const { return m_wSchema & ~VERSIONABLE_SCHEMA; }
    bool IsVersionable() const { return (m_wSchema & VERSIONABLE_SCHEMA) != 0; }

    // The registered class of that name, or null; archives find the classes
    // of the objects they load here.
    static const CRuntimeClass* FromName(const char* name);
};

// A class becomes loadable from archives by defining one registration object
// for it at namespace scope in its .cpp file.
struct FOLIVO_EXPORT CClassRegistration {
    explicit CClassRegistration(const CRuntimeClass* cls);
};

class FOLIVO_EXPORT CObject {
public:
    virtual ~CObject();
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);
    bool IsKindOf(const CRuntimeClass* cls) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
