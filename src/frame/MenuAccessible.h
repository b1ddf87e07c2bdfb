#pragma once
// Menu items as assistive technology reads them: named by their text without the key hint after "\t" and
// without the accelerator marks ("Ö&ffnen...\tStrg+O" is read "Öffnen..."), with the command's keys as
// the item's shortcut. Qt would read the whole text, hint and all.

// Lets Qt make these items for every menu of the program; done once.
void InstallMenuAccessible();
