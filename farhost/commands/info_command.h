// `tolvane info`: loads the plugin, starts it and reports what it registers
// with the host (menu entries, disks-menu entry and digit, command prefix,
// flags) and which language file the host chose with its message count.
#ifndef TOLVANE_FARHOST_INFO_COMMAND_H
#define TOLVANE_FARHOST_INFO_COMMAND_H

#include <ostream>

#include "farhost/host/host.h"

// Writes the report to out (texts converted from the OEM code page to
// UTF-8) and every fault to err: a plugin that does not load, message boxes
// the plugin showed, missing messages, a language file whose message count
// differs from what the plugin asked for. Returns the exit status: 0 when
// nothing went wrong (a language file with more messages than asked for is
// only a warning), 1 otherwise.
int RunInfo(const HostOptions& options, std::ostream& out, std::ostream& err);

#endif  // TOLVANE_FARHOST_INFO_COMMAND_H
