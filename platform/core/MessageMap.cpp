#include "zorkit/platform/core/MessageMap.h"

const zorkit::MessageMapEntry* CMessageMap::FindMessage(UINT message) const
{
    for (const auto& entry : m_entries)
        if (entry.kind == zorkit::MapEntryKind::Message && entry.message == message)
            return &entry;
    return nullptr;
}

const zorkit::MessageMapEntry* CMessageMap::FindCommand(zorkit::MapEntryKind kind, UINT id, int code) const
{
    for (const auto& entry : m_entries)
        if (entry.kind == kind && entry.code == code && id >= entry.firstId && id <= entry.lastId)
            return &entry;
    return nullptr;
}
