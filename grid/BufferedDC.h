// An off-screen stand-in for a device context: drawing lands in a bitmap the size of
// the target's clip box, in the target's own coordinates, and is copied to the target
// in one transfer when the stand-in dies. On a printing target it draws straight
// through.
//
//   CPaintDC paint(this);
//   CBufferedDC dc(&paint);
//   DrawEverything(&dc);
#pragma once

#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"

class CBufferedDC : public CDC {
public:
    explicit CBufferedDC(CDC* pDC);
    ~CBufferedDC() override;

private:
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bMemDC;
};
