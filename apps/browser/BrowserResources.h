// The browser's own resources: its frame's title, the record toolbar and its images, the
// buttons' texts.
#pragma once

#include <afxwin.h>

#define IDR_BROWSER 100
#define IDR_BROWSER_TOOLS 101 // the frame's: New, Open, Delete, Close, Print
#define IDR_CHOOSER_TOOLS 102 // the chooser's: Choose as well

void RegisterBrowserResources(HINSTANCE hModule);
