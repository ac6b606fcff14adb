#include "zorkit/link/ErrorStack.h"

CErrorStack::CErrorStack() : m_slots{}, m_index(0) {}

void CErrorStack::PushError(int code)
{
    m_index = (m_index + 1) % kSlots;
    m_slots[m_index] = code;
}

int CErrorStack::PopError()
{
    int code = m_slots[m_index];
    if (code != 0) {
        m_slots[m_index] = 0;
        m_index = m_index == 0 ? kSlots - 1 : m_index - 1;
    }
    return code;
}
