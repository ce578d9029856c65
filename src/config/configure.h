// The configuration menu the host opens for the plugin: the main settings
// dialog, the menu of the ten panel modes with a dialog for each, and the
// About box. A confirmed dialog changes the settings, saves them and
// applies them at once; cancelling a dialog or a menu changes nothing.
#ifndef TOLVANE_CONFIG_CONFIGURE_H
#define TOLVANE_CONFIG_CONFIGURE_H

// The host's Configure (the item number is not used). Shows the
// configuration menu until it is cancelled; 1 when at least one dialog was
// confirmed during the call, else 0.
int PluginConfigure(int itemNumber);

// The main settings dialog: nodelist directory and name, Options bits 0..4
// (bits 5..31 are kept), the disks-menu digit ("1".."9" gives that digit,
// anything else none). A directory or name that does not fit its setting
// (NodelistPath must keep room for the separator that ApplySettings adds:
// at most 258 characters, or 259 ending in a separator; NodelistName at
// most 255) is refused with an error box, and the dialog is shown again
// with everything as typed. 1 when confirmed (saved and applied), else 0.
int RunMainDialog();

// The panel-mode menu: "%s &%d" per mode, StartPanelMode selected; each
// choice runs the mode's dialog titled with the menu text. Returns when
// cancelled: 1 when a mode dialog was confirmed, else 0.
int RunPanelModeMenu();

// The dialog of mode `mode` (0..9) titled `title`: its four column strings
// (cut to 30 characters, then upper-cased with the host's LStrupr) and its
// full-screen flag. A string of more than 15 columns is refused with an
// error box naming the limit (message MTooManyColumns), and the dialog is
// shown again with everything as typed. On OK saves, applies and redraws
// both panels; 1 when confirmed, else 0 (also for a mode outside 0..9).
int RunPanelModeDialog(int mode, const char* title);

// The About box: product, version with the build's date and time, rights
// and contact lines, one button.
void ShowAboutBox();

#endif  // TOLVANE_CONFIG_CONFIGURE_H
