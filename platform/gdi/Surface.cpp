#include "zorkit/platform/gdi/Surface.h"

#include "zorkit/platform/gdi/internal/GdiHandles.h"

namespace zorkit {

std::shared_ptr<Surface> Surface::Create(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    CairoSurfacePtr cairo(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(cairo.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    // RGB24 rows are 4 bytes a pixel with no padding, so a row is width pixels.
    if (cairo_image_surface_get_stride(cairo.get()) != width * 4)
        return nullptr;
    std::shared_ptr<Surface> surface(new Surface);
    surface->m_pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(cairo.get()));
    surface->m_cairo = std::move(cairo);
    surface->m_width = width;
    surface->m_height = height;
    return surface;
}

COLORREF Surface::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    return ColorFromPixel(Row(y)[x] & 0xFFFFFF);
}

BOOL Surface::WritePng(const char* path) const
{
    auto* cairo = static_cast<cairo_surface_t*>(m_cairo.get());
    cairo_surface_mark_dirty(cairo);
    return cairo_surface_write_to_png(cairo, path) == CAIRO_STATUS_SUCCESS;
}

}
