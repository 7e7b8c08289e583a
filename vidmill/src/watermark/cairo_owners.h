// Owners for the Cairo and Pango objects of the watermark.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <memory>

namespace vidmill::watermark {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoRelease {
    void operator()(cairo_t* cairo) const { cairo_destroy(cairo); }
};
struct GObjectRelease {
    void operator()(void* object) const { g_object_unref(object); }
};
struct FontDescriptionRelease {
    void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
struct AttributeListRelease {
    void operator()(PangoAttrList* list) const { pango_attr_list_unref(list); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using CairoPtr = std::unique_ptr<cairo_t, CairoRelease>;
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectRelease>;
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionRelease>;
using AttributeListPtr = std::unique_ptr<PangoAttrList, AttributeListRelease>;

}  // namespace vidmill::watermark
