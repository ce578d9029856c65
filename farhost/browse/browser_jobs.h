// The browser's jobs on entries: F3 view, F4 edit, Alt+F7 file search.
#ifndef TOLVANE_FARHOST_BROWSE_BROWSER_JOBS_H
#define TOLVANE_FARHOST_BROWSE_BROWSER_JOBS_H

#include "farhost/browse/browser_state.h"

// F3 and F4 on the current item of a plugin panel; F3 on a file of a
// file-system panel views it.
void ViewCurrent(Browser* b, int edit);

// Alt+F7: the file search of a plugin panel.
void FindFiles(Browser* b);

#endif  // TOLVANE_FARHOST_BROWSE_BROWSER_JOBS_H
