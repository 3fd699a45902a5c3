#include "resources/LibraryModule.h"

#include "platform/gdi/BitmapResource.h"

// The library's own images, 16 colours, one character a pixel (see KelBitmapResource).
// The margin buttons' images are drawn on the classic light grey ('7'), which the grid's
// loading maps to the button face; the search bar's strip is drawn on fuchsia ('D'), the
// companion's mask colour.

void KelRegisterLibraryBitmaps(HINSTANCE hModule) {
    // Refresh: a green arrow going round.
    KelSetBitmapResource(hModule, KELRS_IDB_REFRESH,
                         KelBitmapResource::FromRows({
                             "7777777227777777",
                             "7777777222777777",
                             "7777777222277777",
                             "7777722222227777",
                             "777722A222277777",
                             "7772AA7222777777",
                             "7722A77227777277",
                             "772A77777777A277",
                             "772A77777777A277",
                             "772A77777777A277",
                             "772A77777777A277",
                             "7722A777777A2277",
                             "7772AA7777AA2777",
                             "777722AAAA227777",
                             "7777722222277777",
                             "7777777777777777",
                         }));
    // Columns: a table whose middle column is picked out.
    KelSetBitmapResource(hModule, KELRS_IDB_COLUMNS,
                         KelBitmapResource::FromRows({
                             "7777777777777777",
                             "7777777777777777",
                             "7000000000000007",
                             "70CCC0CCCC0CCC07",
                             "70CCC0CCCC0CCC07",
                             "70CCC0CCCC0CCC07",
                             "70FFF0BBBB0FFF07",
                             "7088F0B33B088F07",
                             "70FFF0BBBB0FFF07",
                             "7088F0B33B088F07",
                             "70FFF0BBBB0FFF07",
                             "7088F0B33B088F07",
                             "70FFF0BBBB0FFF07",
                             "7000000000000007",
                             "7777777777777777",
                             "7777777777777777",
                         }));
    // The search bar's buttons: search (a magnifying glass), all (a page listing every
    // record), configure search (a filter funnel and a pencil).
    KelSetBitmapResource(hModule, KELRS_IDB_SEARCHBAR,
                         KelBitmapResource::FromRows({
                             "DDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDD",
                             "DDDDDDDDDDDDDDDDDD00000000000DDDD4444444444444DD",
                             "DDDD00000DDDDDDDDD0FFFFFFFFF08DDDD4EEEEEEEEC4DDD",
                             "DDD00EEE00DDDDDDDD0F9444444F08DDDDD4CCCCCCC4DDDD",
                             "DD00FFEEF00DDDDDDD0FFFFFFFFF08DDDDDD4CCCCC4DDDDD",
                             "DD0EFEEFFF0DDDDDDD0F9444444F08DDDDDDD4CCC4DDDDDD",
                             "DD0EEEFFFF0DDDDDDD0FFFFFFFFF08DDDDDDDD4C4DDDDDDD",
                             "DD0EEFFFFF0DDDDDDD0F9444444F08DDDDDDDD4C4DDDDDDD",
                             "DD00FFFFF00DDDDDDD0FFFFFFFFF08DDDDDDDD4C4DDDDDD0",
                             "DDD00FFF010DDDDDDD0F9444444F08DDDDDDDD4C4DDDDDB9",
                             "DDDD00000010DDDDDD0FFFFFFFFF08DDDDDDDD4C4DDDDBB9",
                             "DDDDDDDDDD010DDDDD0F9444444F08DDDDDDDD444DDDBB3D",
                             "DDDDDDDDDDD010DDDD0FFFFFFFFF08DDDDDDDDDDDDDBB3DD",
                             "DDDDDDDDDDDD01DDDD0F9444444F08DDDDDDDDDDDDBB3DDD",
                             "DDDDDDDDDDDDDDDDDD000000000008DDDDDDDDDDD073DDDD",
                             "DDDDDDDDDDDDDDDDDDD88888888888DDDDDDDDDDDD03DDDD",
                         }));
}
