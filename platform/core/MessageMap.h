// Message maps: a static table per class from a message, command or notification to
// a member function, searched from the most derived class to its bases.
//
//   const CMessageMap* CMyView::GetThisMessageMap()
//   {
//       static const CMessageMap map(&CView::GetThisMessageMap, {
//           zorkit::MapMessage<WM_KEYDOWN>(&CMyView::OnKeyDown),
//           zorkit::MapCommand(ID_EDIT_COPY, &CMyView::OnEditCopy),
//           zorkit::MapUpdateCommandUI(ID_EDIT_COPY, &CMyView::OnUpdateEditCopy),
//       });
//       return &map;
//   }
//   const CMessageMap* CMyView::GetMessageMap() const { return GetThisMessageMap(); }
//
// Window messages are cracked into the framework's handler signatures by
// MapMessage, declared with the window classes (platform/ui/MessageCrackers.h).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "zorkit/platform/core/WinTypes.h"

class CCmdTarget;
class CCmdUI;

// The header of every WM_NOTIFY record.
struct NMHDR {
    HWND hwndFrom;
    std::uintptr_t idFrom;
    UINT code; // notification codes are negative numbers stored as UINT
};
typedef NMHDR* LPNMHDR;

// Command codes of CCmdTarget::OnCmdMsg.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;
// OnCmdMsg's code for a WM_NOTIFY record; pExtra is then a zorkit::NotifyExtra*.
constexpr int CN_NOTIFY = -2;

namespace zorkit {

struct NotifyExtra {
    NMHDR* header;
    LRESULT* result;
};

enum class MapEntryKind { Message, Command, UpdateCommandUI, Notify };

struct MessageMapEntry {
    MapEntryKind kind;
    UINT message;  // window message for Message entries
    int code;      // control notification code for Command and Notify entries
    UINT firstId;
    UINT lastId;
    // Message: (wParam, lParam); Command: (id, 0); UpdateCommandUI: (id, CCmdUI*);
    // Notify: (NMHDR*, LRESULT*).
    std::function<LRESULT(CCmdTarget*, WPARAM, LPARAM)> call;
};

}

class CMessageMap {
public:
    using BaseGetter = const CMessageMap* (*)();

    CMessageMap(BaseGetter base, std::initializer_list<zorkit::MessageMapEntry> entries)
        : m_base(base), m_entries(entries) {}

    const CMessageMap* Base() const { return m_base ? m_base() : nullptr; }
    // Searches this table only.
    const zorkit::MessageMapEntry* FindMessage(UINT message) const;
    const zorkit::MessageMapEntry* FindCommand(zorkit::MapEntryKind kind, UINT id, int code) const;

private:
    BaseGetter m_base;
    std::vector<zorkit::MessageMapEntry> m_entries;
};

namespace zorkit {

template <class C>
MessageMapEntry MapCommand(UINT id, void (C::*handler)())
{
    return {MapEntryKind::Command, 0, CN_COMMAND, id, id, [handler](CCmdTarget* t, WPARAM, LPARAM) {
                (static_cast<C*>(t)->*handler)();
                return LRESULT(0);
            }};
}

template <class C>
MessageMapEntry MapCommandRange(UINT firstId, UINT lastId, void (C::*handler)(UINT))
{
    return {MapEntryKind::Command, 0, CN_COMMAND, firstId, lastId, [handler](CCmdTarget* t, WPARAM id, LPARAM) {
                (static_cast<C*>(t)->*handler)(UINT(id));
                return LRESULT(0);
            }};
}

// A control's notification through WM_COMMAND (EN_CHANGE, BN_CLICKED, ...).
template <class C>
MessageMapEntry MapControl(int notifyCode, UINT id, void (C::*handler)())
{
    return {MapEntryKind::Command, 0, notifyCode, id, id, [handler](CCmdTarget* t, WPARAM, LPARAM) {
                (static_cast<C*>(t)->*handler)();
                return LRESULT(0);
            }};
}

template <class C>
MessageMapEntry MapUpdateCommandUI(UINT id, void (C::*handler)(CCmdUI*))
{
    return {MapEntryKind::UpdateCommandUI, 0, CN_UPDATE_COMMAND_UI, id, id,
            [handler](CCmdTarget* t, WPARAM, LPARAM ui) {
                (static_cast<C*>(t)->*handler)(reinterpret_cast<CCmdUI*>(ui));
                return LRESULT(0);
            }};
}

template <class C>
MessageMapEntry MapNotify(int notifyCode, UINT id, void (C::*handler)(NMHDR*, LRESULT*))
{
    return {MapEntryKind::Notify, 0, notifyCode, id, id, [handler](CCmdTarget* t, WPARAM header, LPARAM result) {
                (static_cast<C*>(t)->*handler)(reinterpret_cast<NMHDR*>(header), reinterpret_cast<LRESULT*>(result));
                return LRESULT(0);
            }};
}

// A message handled with the raw parameters, as host messages are.
template <class C>
MessageMapEntry MapUserMessage(UINT message, LRESULT (C::*handler)(WPARAM, LPARAM))
{
    return {MapEntryKind::Message, message, 0, 0, 0, [handler](CCmdTarget* t, WPARAM w, LPARAM l) {
                return (static_cast<C*>(t)->*handler)(w, l);
            }};
}

}
