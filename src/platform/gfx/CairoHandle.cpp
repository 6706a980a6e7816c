#include "platform/gfx/CairoHandle.h"

#include <cairo.h>

namespace gfx {

void CairoTraits<cairo_t>::release(cairo_t* p) { cairo_destroy(p); }
cairo_t* CairoTraits<cairo_t>::reference(cairo_t* p) { return cairo_reference(p); }

void CairoTraits<cairo_surface_t>::release(cairo_surface_t* p) { cairo_surface_destroy(p); }
cairo_surface_t* CairoTraits<cairo_surface_t>::reference(cairo_surface_t* p) { return cairo_surface_reference(p); }

void CairoTraits<cairo_pattern_t>::release(cairo_pattern_t* p) { cairo_pattern_destroy(p); }
cairo_pattern_t* CairoTraits<cairo_pattern_t>::reference(cairo_pattern_t* p) { return cairo_pattern_reference(p); }

void CairoTraits<cairo_path_t>::release(cairo_path_t* p) { cairo_path_destroy(p); }

void CairoTraits<cairo_font_options_t>::release(cairo_font_options_t* p) { cairo_font_options_destroy(p); }

CairoSavedState::CairoSavedState(cairo_t* cr) : cr_(cr) { cairo_save(cr_); }
CairoSavedState::~CairoSavedState() { cairo_restore(cr_); }

}  // namespace gfx
