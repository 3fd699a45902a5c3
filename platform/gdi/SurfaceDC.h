// The seam between the window layer and the drawing layer: device contexts over cairo
// surfaces, and the screen resolution.
#pragma once

#include "platform/core/Types.h"

// cairo's own names, declared here so that hosts need no cairo headers.
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_region cairo_region_t;

// A device context drawing on a cairo surface. origin: where the context's logical (0, 0)
// lies on the surface; clip: the surface area it may draw on, in surface coordinates
// (NULL: the whole surface). The region is copied. Release with KelDeleteSurfaceDC.
HDC KelCreateSurfaceDC(cairo_surface_t* surface, POINT origin, const cairo_region_t* clip);
void KelDeleteSurfaceDC(HDC hdc);

// A new image surface (RGB24, black) of cx x cy pixels; one of megabytes is laid on memory
// that fills with few page faults. bCovered: the caller paints every pixel at once, so the
// image need not start black (it may hold an earlier image's pixels). Release with
// cairo_surface_destroy.
cairo_surface_t* KelCreateImageSurface(int cx, int cy, bool bCovered = false);

// Logical pixels per inch of the screen: 96 unless a backend reports another.
void KelSetScreenDpi(int dpi);
int KelGetScreenDpi();
