// The two panel events the plugin listens to: the user switching the view
// mode (remembered as the start mode of new panels) and the panel closing.
#ifndef TOLVANE_COMMANDS_EVENTS_H
#define TOLVANE_COMMANDS_EVENTS_H

#include "panel/panel_instance.h"

// The host's ProcessEvent for `panel`; always 0 (closing is never
// refused).
//  - FE_CHANGEVIEWMODE: `parameter` is the new column-types string. The
//    first of the ten modes whose column types equal it exactly becomes
//    StartPanelMode, written at once as "Start Panel Mode"; once the panel
//    is closing it goes to the panel's ViewMode only. No equal mode (or no
//    string): nothing.
//  - FE_CLOSE: sets PF_CLOSING.
int PanelProcessEvent(PanelInstance* panel, int event, void* parameter);

// The index (0..9) of the first mode whose column types equal
// `columnTypes`, or -1.
int FindViewMode(const char* columnTypes);

#endif  // TOLVANE_COMMANDS_EVENTS_H
