#include "zorkit/platform/gdi/internal/DCState.h"

#include "zorkit/platform/gdi/internal/PdfPainter.h"
#include "zorkit/platform/gdi/internal/RasterPainter.h"
#include "zorkit/platform/gdi/Surface.h"

namespace zorkit {
namespace {

template <typename T>
std::shared_ptr<T> Stock(int index)
{
    return std::static_pointer_cast<T>(GetStockObject(index)->shared_from_this());
}

}

DCState::DCState()
{
    attributes.pen = Stock<PenData>(BLACK_PEN);
    attributes.brush = Stock<BrushData>(WHITE_BRUSH);
    attributes.font = Stock<FontData>(SYSTEM_FONT);
}

void DCState::Attach(std::shared_ptr<Surface> target, CPoint regionOrigin, const CRect& bounds)
{
    surface = std::move(target);
    painter = std::make_unique<RasterPainter>(surface);
    pdf = nullptr;
    origin = regionOrigin;
    region.IntersectRect(&bounds, surface->Bounds());
    ApplyClip();
}

void DCState::AttachPdf(std::unique_ptr<PdfPainter> pages)
{
    surface.reset();
    pdf = pages.get();
    origin = CPoint();
    region = CRect(CPoint(), pages->Size());
    painter = std::move(pages);
    ApplyClip();
}

CRect DCState::EffectiveClip() const
{
    CRect clip = region;
    if (attributes.hasClip)
        clip.IntersectRect(&clip, &attributes.clip);
    return clip;
}

void DCState::ApplyClip()
{
    if (painter)
        painter->SetClip(EffectiveClip());
}

GdiCall* DCState::Record(const char* name, const CRect& rect)
{
    if (!recording)
        return nullptr;
    GdiCall call;
    call.name = name;
    call.rect = rect;
    call.penColor = attributes.pen->pen.lopnColor;
    call.penStyle = int(attributes.pen->pen.lopnStyle);
    call.penWidth = int(attributes.pen->pen.lopnWidth.x);
    call.brushColor = attributes.brush->IsNull() ? CLR_INVALID : attributes.brush->brush.lbColor;
    call.textColor = attributes.textColor;
    call.bkMode = attributes.bkMode;
    call.fontHeight = attributes.font->font.lfHeight;
    call.fontWeight = attributes.font->font.lfWeight;
    call.fontEscapement = attributes.font->font.lfEscapement;
    call.rop = DWORD(attributes.rop2);
    calls.push_back(std::move(call));
    return &calls.back();
}

}
