// A bounded stack of internal error codes that overwrites its oldest entry.
#pragma once

class CErrorStack {
public:
    CErrorStack();
    virtual ~CErrorStack() = default;

    void PushError(int code);
    // The latest code, or 0 when that slot is empty; a non-zero code is removed.
    int PopError();

private:
    static constexpr int kSlots = 20;
    int m_slots[kSlots];
    int m_index;
};
