#include "resources/LibraryModule.h"

void KelRegisterLibraryStrings(HINSTANCE hModule) {
    static const struct {
        UINT id;
        LPCTSTR text;
    } kStrings[] = {
        // Tooltips of the search bar and the grid's margin buttons.
        {9430, "Choose the operator (Alt+2)"},
        {9431, "Enter the criteria here (Alt+3)"},
        {9433, "Enter the criteria here (Alt-3)"},
        {9434, "Enter the criteria here (Alt-3)"},
        {9435, "Configure the advanced search (Alt+2)"},
        {9436, "Configure the columns of the list"},
        {9437, "Refresh the items of the list"},
        {9438, "Do the search and display the records found (Alt+4)"},
        {9439, "View all records (Alt+5)"},
        {9440, "Choose the field on which to do the search (Alt+1)"},
        // Texts of the grid and its dialogs.
        {15400, "#deleted"},
        {15401, "<ADV. SEARCH>"},
        {15404, "Containing~0~Between~1~Starting with~2~Ending with~3~>=~4~<=~5~=~6"},
        {15405, "Can't perform operation; the current record is deleted."},
        {15406, "record(s)"},
        {15431, "counting\xE2\x80\xA6"},
        {15407, "~-2~Containing~0~Starting with~2~Ending with~3~>=~4~<=~5~=~6"},
        {15409, "The search needs a number for the field %s; \"%s\" is none."},
        {15410, "The search needs a date for the field %s; \"%s\" is none."},
        {15411, "Choose an operator for the search (Between cannot search every text field)."},
        {15412, "The search pattern \"%s\" opens a \"[\" that it does not close."},
        {15413, "The search needs a number or Yes, No, True or False for the field %s; \"%s\" is "
                "none."},
        {15430, "No text column is shown: the search in every text column has nothing to "
                "search in."},
        {15408, "Click on a column to sort the list by it.  Click once more on it to sort in the "
                "inverse order.  You can also change the columns positions by dragging them."},
    };
    for (const auto& s : kStrings)
        AfxSetStringResource(hModule, s.id, s.text);
}
