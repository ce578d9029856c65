// Inside farhost's system layer: the system's part of the OEM tables
// (sys_posix.cpp with iconv, sys_win32.cpp with MultiByteToWideChar); the
// tables themselves and the conversions through them are in sys_files.cpp.
#ifndef TOLVANE_FARHOST_SYS_OEM_TABLE_H
#define TOLVANE_FARHOST_SYS_OEM_TABLE_H

#include "farhost/sys/sys.h"

// Fills the entries of the bytes 0x80-0xFF of code page 437 or 866 with
// one converter of the system's; a byte that does not convert gets '?'.
// Returns 0, changing nothing, when the system has no converter for the
// page.
int SysFillOemHighBytes(int codePage, SysOemTable* table);

#endif  // TOLVANE_FARHOST_SYS_OEM_TABLE_H
