#include "zorkit/platform/gdi/GdiObject.h"

#include "zorkit/platform/gdi/internal/GdiObjectData.h"

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_data)
        return FALSE;
    if (m_data->Owner() == this)
        m_data->SetOwner(nullptr);
    m_data.reset();
    return TRUE;
}

int CGdiObject::GetObject(int size, void* buffer) const
{
    return m_data ? m_data->Describe(size, buffer) : 0;
}

BOOL CGdiObject::CreateStockObject(int index)
{
    HGDIOBJ stock = ::GetStockObject(index);
    if (!stock)
        return FALSE;
    DeleteObject();
    m_data = stock->shared_from_this();
    return TRUE;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle)
{
    return handle ? handle->Object() : nullptr;
}

void CGdiObject::Adopt(std::shared_ptr<zorkit::GdiObjectData> data)
{
    DeleteObject();
    m_data = std::move(data);
    if (!m_data->Owner())
        m_data->SetOwner(this);
}

int GetObject(HGDIOBJ object, int size, void* buffer)
{
    return object ? object->Describe(size, buffer) : 0;
}

int GetObjectType(HGDIOBJ object)
{
    return object ? object->Type() : 0;
}
