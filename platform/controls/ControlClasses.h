// The window classes of the standard and common controls ("Button", "Edit", "Static",
// "ListBox", "ComboBox", "ComboLBox", "ScrollBar", "SysHeader32", "tooltips_class32",
// "ToolbarWindow32", and the popup menu's "#32768"). They are registered when the program
// starts, so that dialog templates can create controls by class name.
#pragma once

// Registers the classes (once; later calls do nothing).
void KelRegisterControlClasses();
