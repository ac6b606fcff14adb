#include "zorkit/platform/core/RuntimeClass.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {
std::mutex g_lock;
std::vector<const CRuntimeClass*> g_classes;
}

const CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* cls = this; cls; cls = cls->m_pBaseClass)
        if (cls == base)
            return TRUE;
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* className)
{
    if (!className)
        return nullptr;
    std::lock_guard<std::mutex> hold(g_lock);
    for (const CRuntimeClass* cls : g_classes)
        if (std::strcmp(cls->m_lpszClassName, className) == 0)
            return cls;
    return nullptr;
}

namespace zorkit {

void RegisterRuntimeClass(const CRuntimeClass* cls)
{
    std::lock_guard<std::mutex> hold(g_lock);
    for (const CRuntimeClass* known : g_classes)
        if (known == cls)
            return;
    g_classes.push_back(cls);
}

void UnregisterRuntimeClass(const CRuntimeClass* cls)
{
    std::lock_guard<std::mutex> hold(g_lock);
    for (auto it = g_classes.begin(); it != g_classes.end(); ++it)
        if (*it == cls) {
            g_classes.erase(it);
            return;
        }
}

}
