// The whole drawing layer: device contexts, pens, brushes, fonts, bitmaps, palettes, regions,
// image lists, system colours and metrics.
#pragma once

#include "platform/gdi/GdiDefs.h"
#include "platform/gdi/GdiFunctions.h"
#include "platform/gdi/SystemColors.h"
#include "platform/gdi/SystemMetrics.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/ResourceException.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Pen.h"
#include "platform/gdi/Brush.h"
#include "platform/gdi/Font.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/BitmapResource.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Rgn.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/ImageList.h"
