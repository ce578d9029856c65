// The weekly work on a nodelist folder: applying one difference file to a
// list (--apply), and bringing a folder's newest list up to date and
// compiling it (--update). Lists and difference files may be packed in
// ZIP (input_file.h); the lists made are written beside the others through
// a temporary name, so no reader ever sees half a list.
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

// The weekly mode. Of the files NODELIST.* and NODEDIFF.* in
// args.update_dir, takes the list whose first line gives the latest date,
// applies the difference files that follow it in the order of their dates,
// writes each list made as NODELIST.<day> into the folder, and compiles
// the newest list reached with args' options and pointlists (holding the
// set's busy file throughout). With args.changes, first writes there what
// changed from the starting list to the newest reached (list_changes.h).
// Returns the exit status: 0 when every difference file newer than the
// starting list was applied and the set written, 3 when the set was
// written from an older list (a week missing or a difference file
// refused; the messages name the day), 1 when nothing was compiled or the
// changes could not be written.
int RunUpdate(const CompilerArgs& args, FILE* out, FILE* err);

}  // namespace v7c

#endif  // TOLVANE_TOOLS_COMPILER_WEEKLY_UPDATE_H
