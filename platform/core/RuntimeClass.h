// Run-time classes: a class knows its name and base, can be created by name once
// registered, and answers IsKindOf. Library entry code registers the classes that
// hosts may create by name (RegisterRuntimeClass).
//
//   class CThing : public CObject { DECLARE_DYNCREATE(CThing) ... };
//   IMPLEMENT_DYNCREATE(CThing, CObject)          // in the .cpp
//   CObject* made = CRuntimeClass::FromName("CThing")->CreateObject();
#pragma once

#include "zorkit/platform/core/WinTypes.h"

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object, or null when the class cannot be created dynamically.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
    // A registered class by name, or null.
    static const CRuntimeClass* FromName(const char* className);
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

namespace zorkit {
void RegisterRuntimeClass(const CRuntimeClass* cls);
void UnregisterRuntimeClass(const CRuntimeClass* cls);
}

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)                                     \
public:                                                           \
    static const CRuntimeClass class##name;                       \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(name)                                   \
    DECLARE_DYNAMIC(name)                                         \
    static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(name, base)                                                            \
    const CRuntimeClass name::class##name = {#name, sizeof(name), nullptr, RUNTIME_CLASS(base)}; \
    const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }

#define IMPLEMENT_DYNCREATE(name, base)                                                                  \
    CObject* name::CreateObject() { return new name; }                                                   \
    const CRuntimeClass name::class##name = {#name, sizeof(name), &name::CreateObject, RUNTIME_CLASS(base)}; \
    const CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }
