// Node description files: when the host wants an entry's contents (to view
// or edit it, or to search its text) the plugin writes a small labelled
// text file per entry into the host's destination directory. Copying and
// moving entries out of the panel is refused.
#ifndef TOLVANE_COMMANDS_EXPORT_FILE_H
#define TOLVANE_COMMANDS_EXPORT_FILE_H

#include "host/far_api.h"
#include "platform/platform.h"

// Longest file name written: the destination, a separator and the entry's
// name, without the terminator.
enum { kExportPathSize = FAR_MAX_PATH };

// The host's GetFiles. Returns 0, creating nothing, when the operation mode
// has none of OPM_FIND, OPM_VIEW and OPM_EDIT, when `move` is set, and when
// the destination leaves no room for a file name (reported with the error
// box unless OPM_SILENT). Otherwise writes one file per entry, in order,
// named destination + separator + entry name (just the entry name for an
// empty destination: the current directory). Every entry is tried; the
// result is 1 when at least one file was written, 0 when none was (an item
// count of 0 or less gives 1 at once). A file is never overwritten: an
// entry whose file cannot be created, whose full name does not fit
// kExportPathSize - 1 characters, or whose name is not a plain file name is
// reported with the error box (title MExportError, button MOk) unless
// OPM_SILENT, and skipped. An entry without an address block is skipped
// silently.
int PluginGetFiles(PluginPanelItem* items, int count, int move,
                   const char* destination, int opMode);

// Writes the description lines of one entry to an open file: "%-16.16s: %s"
// plus CR LF each; the address, system, sysop, location, phone, speed,
// flags (the flags column and the rest of them that the block keeps),
// online hours and call cost always, the password when not empty, the hub
// when the entry is a node (Level 6) with a hub other than itself, the
// region when Level > 2 and Region is not 0, then one line per endpoint of
// the block, labelled with its protocol ("binkp") and valued "host:port
// (source)", then one line per flag of the flags line, in their order,
// labelled with the flag and valued with what it means (flag_words.h).
// Values longer than a line can hold are cut. Write errors are not looked
// at.
void WriteNodeDescription(FileHandle file, const PluginPanelItem* item);

#endif  // TOLVANE_COMMANDS_EXPORT_FILE_H
