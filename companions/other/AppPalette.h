// CAppPalette: the application's palette, and AppPalette, the one instance. Its colours are
// the 16 standard colours and the 6 x 6 x 6 colour cube, so that images and fills keep their
// colours on a palette device. The palette is made on first use.
#pragma once

#include "afx.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Palette.h"

class CAppPalette : public CPalette {
public:
    CAppPalette() = default;

    // Makes the palette if it does not exist yet; FALSE when it cannot be made.
    BOOL EnsureCreated();
    // Selects the palette into the context (in the background when bForceBackground) and
    // realizes it. Answers the palette selected before, NULL for a missing context.
    CPalette* UsePalette(CDC* pDC, BOOL bForceBackground);
};

extern CAppPalette AppPalette;
