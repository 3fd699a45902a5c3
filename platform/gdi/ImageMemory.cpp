// Image surfaces on memory of their own. A window's image or an off-screen bitmap the size of
// a screen is megabytes that are written at once; on the usual small pages each first touch is
// a page fault, which can cost more than the drawing (tens of milliseconds for a full-HD image
// on a virtual machine). Large images are therefore mapped on huge pages where the system
// offers them for the asking, and as usual where it does not; and the memory of the last two
// let go is kept for the next of their size: a window opened after another closed takes the
// closed one's image, while a scroll's snapshot or an off-screen bitmap may be kept beside it.
#include "platform/gdi/SurfaceDC.h"

#include <cairo.h>
#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

struct Mapping {
    void* start;
    size_t length;
};

const cairo_user_data_key_t kMappingKey{};

// The memory of the images let go last, mapped still, the latest first (start null: none).
// The lock is never destroyed: an image may be let go by another static object's destructor
// at exit.
std::mutex& KeptLock() {
    static auto* lock = new std::mutex;
    return *lock;
}
// Packed from the front; the last slot's mapping is the one let go when another comes.
std::array<Mapping, 2> g_kept{};

void Unmap(void* data) {
    auto* m = static_cast<Mapping*>(data);
    Mapping old{nullptr, 0};
    {
        std::lock_guard<std::mutex> lock(KeptLock());
        old = g_kept.back();
        std::move_backward(g_kept.begin(), g_kept.end() - 1, g_kept.end());
        g_kept.front() = *m;
    }
    if (old.start != nullptr)
        munmap(old.start, old.length);
    delete m;
}

// Kept memory of exactly length bytes, its first bytes cleared unless the caller covers them
// at once; null when there is none.
unsigned char* TakeKept(size_t length, size_t bytes, bool clear) {
    unsigned char* start = nullptr;
    {
        std::lock_guard<std::mutex> lock(KeptLock());
        auto it = std::find_if(g_kept.begin(), g_kept.end(), [&](const Mapping& k) {
            return k.start != nullptr && k.length == length;
        });
        if (it == g_kept.end())
            return nullptr;
        start = static_cast<unsigned char*>(it->start);
        std::move(it + 1, g_kept.end(), it);
        g_kept.back() = Mapping{nullptr, 0};
    }
    if (clear)
        std::memset(start, 0, bytes);
    return start;
}

// New memory of length bytes on huge-page boundaries; null when none can be mapped.
unsigned char* MapNew(size_t length) {
    // A mapping one huge page longer, cut at both ends.
    void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    auto* base = static_cast<unsigned char*>(raw);
    auto* start = reinterpret_cast<unsigned char*>(
        (reinterpret_cast<std::uintptr_t>(base) + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1));
    if (start > base)
        munmap(base, static_cast<size_t>(start - base));
    if (unsigned char* end = start + length; end < base + length + kHugePage)
        munmap(end, static_cast<size_t>(base + length + kHugePage - end));
    madvise(start, length, MADV_HUGEPAGE); // a request: refused, the pages are the usual ones
    return start;                          // fresh anonymous memory reads as zeros
}

cairo_surface_t* UsualImage(int cx, int cy) {
    return cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx, cy);
}

} // namespace

cairo_surface_t* KelCreateImageSurface(int cx, int cy, bool bCovered) {
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, cx);
    if (cx <= 0 || cy <= 0 || stride <= 0)
        return UsualImage(cx, cy); // cairo says what is wrong
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(cy);
    if (bytes < kHugePage)
        return UsualImage(cx, cy);
    const size_t length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    unsigned char* start = TakeKept(length, bytes, !bCovered);
    if (start == nullptr)
        start = MapNew(length);
    if (start == nullptr)
        return UsualImage(cx, cy);
    // Black, as cairo's own images start, unless the caller covers it at once.
    cairo_surface_t* s =
        cairo_image_surface_create_for_data(start, CAIRO_FORMAT_RGB24, cx, cy, stride);
    auto* mapping = new Mapping{start, length};
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(s, &kMappingKey, mapping, Unmap) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        munmap(start, length);
        delete mapping;
        return UsualImage(cx, cy);
    }
    return s;
}
