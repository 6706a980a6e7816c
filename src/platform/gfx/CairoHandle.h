#pragma once
// Owning handles for cairo objects, so that every created or referenced
// object is released once on every path, early returns and exceptions
// included, and a saved-state guard for a cairo context.
//
// CairoHandle<T> owns one reference to a cairo object: it releases it with
// the object's destroy function when it goes out of scope. Moving hands the
// reference on; copying is not allowed. The header does not pull in cairo's:
// the release functions live in CairoHandle.cpp.
#include <utility>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;
typedef struct cairo_path cairo_path_t;
typedef struct _cairo_font_options cairo_font_options_t;

namespace gfx {

// How a handle releases (and, where cairo counts references, takes a new
// reference to) each kind of object.
template <class T>
struct CairoTraits;

template <>
struct CairoTraits<cairo_t> {
    static void release(cairo_t* p);
    static cairo_t* reference(cairo_t* p);
};
template <>
struct CairoTraits<cairo_surface_t> {
    static void release(cairo_surface_t* p);
    static cairo_surface_t* reference(cairo_surface_t* p);
};
template <>
struct CairoTraits<cairo_pattern_t> {
    static void release(cairo_pattern_t* p);
    static cairo_pattern_t* reference(cairo_pattern_t* p);
};
// A copied path and font options have a single owner: no reference().
template <>
struct CairoTraits<cairo_path_t> {
    static void release(cairo_path_t* p);
};
template <>
struct CairoTraits<cairo_font_options_t> {
    static void release(cairo_font_options_t* p);
};

template <class T>
class CairoHandle {
public:
    CairoHandle() = default;
    // Takes over the reference the caller holds (as a cairo "create" or
    // "copy" function hands one over).
    explicit CairoHandle(T* adopted) : p_(adopted) {}
    // A handle with a new reference of its own to an object someone else
    // also holds.
    static CairoHandle reference(T* shared) {
        return CairoHandle(shared ? CairoTraits<T>::reference(shared) : nullptr);
    }
    ~CairoHandle() { reset(); }
    CairoHandle(CairoHandle&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    CairoHandle& operator=(CairoHandle&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    CairoHandle(const CairoHandle&) = delete;
    CairoHandle& operator=(const CairoHandle&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Gives the reference up to the caller.
    T* release() { return std::exchange(p_, nullptr); }
    void reset() {
        if (T* p = std::exchange(p_, nullptr)) CairoTraits<T>::release(p);
    }

private:
    T* p_ = nullptr;
};

using CairoContextHandle = CairoHandle<cairo_t>;
using SurfaceHandle = CairoHandle<cairo_surface_t>;
using PatternHandle = CairoHandle<cairo_pattern_t>;
using PathHandle = CairoHandle<cairo_path_t>;
using FontOptionsHandle = CairoHandle<cairo_font_options_t>;

// Saves the cairo context's graphics state and restores it when the scope
// ends, however it ends.
class CairoSavedState {
public:
    explicit CairoSavedState(cairo_t* cr);
    ~CairoSavedState();
    CairoSavedState(const CairoSavedState&) = delete;
    CairoSavedState& operator=(const CairoSavedState&) = delete;

private:
    cairo_t* cr_;
};

}  // namespace gfx
