// The weekly work on a nodelist folder: applying one difference file to a
// list (--apply), and bringing a folder's newest list up to date and
// compiling it (--update). Lists and difference files may be packed in
// ZIP (input_file.h); the lists made are written beside the others through
// a temporary name of the process's own, so no reader ever sees half a
// list.
#ifndef TOLVANE_TOOLS_COMPILER_WEEKLY_UPDATE_H
#define TOLVANE_TOOLS_COMPILER_WEEKLY_UPDATE_H

#include <cstdio>

#include "compiler/output_set.h"

namespace v7c {

// Applies args.diff to args.inputs[0] and writes the list made to
// args.out_list; nothing is written when the difference file does not fit
// the list or the list made fails its CRC. Returns the exit status: 0 when
// the list was written, 1 otherwise.
int RunApply(const CompilerArgs& args, FILE* out, FILE* err);

// The weekly mode. Under the lock of args.update_dir (TOLVANE.LCK there;
// a second job on the folder waits for the first, up to five minutes, and
// then finds the lists it made), reads the folder's lists and difference
// files (list_folder.h), starts from the newest list that passes its CRC,
// applies the difference files that follow it in the order of their dates,
// writes each list made as NODELIST.<day> into the folder (a damaged list
// of that day is kept aside under a name that says so), and then compiles
// the newest list reached with args' options and pointlists (holding the
// set's busy file throughout). With args.changes, first writes there what
// changed from the starting list to the newest reached (list_changes.h).
// Every file that cannot serve is named in a warning. Returns the exit
// status: 0 when the set was written from a list that no file in the
// folder goes beyond; 3 when it was written but a day is left that no file
// reaches (a week missing, a difference file refused, a newer list that
// fails its CRC or cannot be read, with no way around it; the messages
// name the day and the file); 1 when nothing was compiled or the changes
// could not be written.
int RunUpdate(const CompilerArgs& args, FILE* out, FILE* err);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_WEEKLY_UPDATE_H
