#include "zorkit/platform/core/CmdTarget.h"


IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const CMessageMap* CCmdTarget::GetThisMessageMap()
{
    static const CMessageMap map(nullptr, {});
    return &map;
}

const CMessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const zorkit::MessageMapEntry* CCmdTarget::FindMessageEntry(UINT message) const
{
    for (const CMessageMap* map = GetMessageMap(); map; map = map->Base())
        if (const auto* entry = map->FindMessage(message))
            return entry;
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int nCode, void* pExtra, void* pHandlerInfo)
{
    zorkit::MapEntryKind kind = zorkit::MapEntryKind::Command;
    int code = nCode;
    if (nCode == CN_UPDATE_COMMAND_UI)
        kind = zorkit::MapEntryKind::UpdateCommandUI;
    if (nCode == CN_NOTIFY) {
        kind = zorkit::MapEntryKind::Notify;
        code = int(static_cast<zorkit::NotifyExtra*>(pExtra)->header->code);
    }
    for (const CMessageMap* map = GetMessageMap(); map; map = map->Base()) {
        const auto* entry = map->FindCommand(kind, id, code);
        if (!entry)
            continue;
        if (pHandlerInfo)
            return TRUE;  // only asked whether a handler exists
        switch (kind) {
        case zorkit::MapEntryKind::UpdateCommandUI:
            entry->call(this, id, reinterpret_cast<LPARAM>(pExtra));
            break;
        case zorkit::MapEntryKind::Notify: {
            auto* notify = static_cast<zorkit::NotifyExtra*>(pExtra);
            entry->call(this, reinterpret_cast<WPARAM>(notify->header), reinterpret_cast<LPARAM>(notify->result));
            break;
        }
        default:
            entry->call(this, id, 0);
            break;
        }
        return TRUE;
    }
    return FALSE;
}
