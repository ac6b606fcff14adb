#include "zorkit/platform/gdi/PngFile.h"

#include "zorkit/platform/gdi/internal/GdiHandles.h"

namespace zorkit {

std::shared_ptr<Surface> ReadPng(const char* path)
{
    CairoSurfacePtr image(cairo_image_surface_create_from_png(path));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    const cairo_format_t format = cairo_image_surface_get_format(image.get());
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32)
        return nullptr;
    cairo_surface_flush(image.get());
    const int width = cairo_image_surface_get_width(image.get());
    const int height = cairo_image_surface_get_height(image.get());
    auto surface = Surface::Create(width, height);
    if (!surface)
        return nullptr;
    const unsigned char* data = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < width; ++x)
            surface->Row(y)[x] = row[x] & 0x00FFFFFFu;
    }
    return surface;
}

}
