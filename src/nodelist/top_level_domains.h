// The top-level domains of the internet's names, for telling a system name
// that is a host name ("bbs.example.org") from one that only has a dot in
// it ("St.Petersburg", "DREAMWEB.BBS"): the country codes (with the few
// retired codes that nodelists of their years still carry) and the
// generic domains, older and newer, that systems are named in.
#ifndef TOLVANE_NODELIST_TOP_LEVEL_DOMAINS_H
#define TOLVANE_NODELIST_TOP_LEVEL_DOMAINS_H

#include <cstddef>

// 1 when label[0..length) is a top-level domain of the table, compared
// without regard to case; 0 otherwise (also for an empty label).
int IsTopLevelDomain(const char* label, size_t length);

#endif  // TOLVANE_NODELIST_TOP_LEVEL_DOMAINS_H
