// Owning handles for the X resources the backend creates: each frees its resource once, on
// its display, when it goes.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <utility>

namespace kel::backends {

template <typename T, int (*Free)(Display*, T)> class XResource {
public:
    XResource() = default;
    XResource(Display* display, T handle) : m_display(display), m_handle(handle) {}
    XResource(XResource&& other) noexcept
        : m_display(other.m_display), m_handle(std::exchange(other.m_handle, T{})) {}
    XResource& operator=(XResource&& other) noexcept {
        if (this != &other) {
            Reset();
            m_display = other.m_display;
            m_handle = std::exchange(other.m_handle, T{});
        }
        return *this;
    }
    XResource(const XResource&) = delete;
    XResource& operator=(const XResource&) = delete;
    ~XResource() { Reset(); }

    T Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != T{}; }
    void Reset() {
        if (m_handle != T{})
            Free(m_display, m_handle);
        m_handle = T{};
    }

private:
    Display* m_display = nullptr;
    T m_handle{};
};

using XWindowHandle = XResource<Window, XDestroyWindow>;
using XCursorHandle = XResource<Cursor, XFreeCursor>;
using XGCHandle = XResource<GC, XFreeGC>;

// Memory Xlib hands out (properties, query results), freed with XFree.
struct XFreeDeleter {
    void operator()(void* p) const {
        if (p != nullptr)
            XFree(p);
    }
};
template <typename T> using XMemory = std::unique_ptr<T, XFreeDeleter>;

// An image over pixels the caller keeps: destroying it leaves the pixels alone.
struct XImageDeleter {
    void operator()(XImage* image) const {
        image->data = nullptr;
        XDestroyImage(image);
    }
};
using XImageHandle = std::unique_ptr<XImage, XImageDeleter>;

} // namespace kel::backends
