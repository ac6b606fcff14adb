// Owners for the cairo, fontconfig and FreeType handles the gdi layer creates, so
// that each is destroyed exactly once, on every path. Private to the platform layer.
//
//   CairoSurfacePtr image(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8));
//   CairoPtr cr(cairo_create(image.get()));
#pragma once

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <memory>
#include <type_traits>

namespace zorkit {

struct GdiHandleReleaser {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    void operator()(cairo_font_face_t* face) const { cairo_font_face_destroy(face); }
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
    void operator()(FT_Library library) const { FT_Done_FreeType(library); }
    void operator()(FT_Face face) const { FT_Done_Face(face); }
    void operator()(FT_Size size) const { FT_Done_Size(size); }
};

using CairoPtr = std::unique_ptr<cairo_t, GdiHandleReleaser>;
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, GdiHandleReleaser>;
using CairoFontFacePtr = std::unique_ptr<cairo_font_face_t, GdiHandleReleaser>;
using FcPatternPtr = std::unique_ptr<FcPattern, GdiHandleReleaser>;
using FcConfigPtr = std::unique_ptr<FcConfig, GdiHandleReleaser>;
using FtLibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, GdiHandleReleaser>;
using FtFacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, GdiHandleReleaser>;
using FtSizePtr = std::unique_ptr<std::remove_pointer_t<FT_Size>, GdiHandleReleaser>;

}
