// The framework's GDI object: an owner of one reference to a pen, brush, font or bitmap
// record. A device context that selects the object holds its own reference, so deleting
// (or destroying) a selected object never leaves the context with a dangling record.
#pragma once

#include <memory>

#include "zorkit/platform/gdi/GdiTypes.h"

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject();
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return m_data.get(); }
    operator HGDIOBJ() const { return m_data.get(); }
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;
    // Makes this object one of the stock pens, brushes or fonts.
    BOOL CreateStockObject(int index);

    // The object standing for a handle: the caller's own if it made one, else a
    // wrapper that lives as long as the record does. Null for a null handle.
    static CGdiObject* FromHandle(HGDIOBJ handle);

protected:
    // Takes a reference to the record (after DeleteObject on this object).
    void Adopt(std::shared_ptr<zorkit::GdiObjectData> data);
    std::shared_ptr<zorkit::GdiObjectData> m_data;

    friend class zorkit::GdiObjectData;
};
