// The plugin's help file (*.hlf) as the host reads it: topics that start
// with "@Name", their non-scrolling header lines ("$ ..."), and in each line
// plain text, #highlighted# text and ~links~@Topic@. "##", "~~" and "@@"
// are the literal characters; a line starting with "^" is centred. The
// texts stay the plugin's OEM bytes. Pure, except for reading the folder.
#ifndef TOLVANE_FARHOST_BROWSE_HELP_FILE_H
#define TOLVANE_FARHOST_BROWSE_HELP_FILE_H

#include <string>
#include <vector>

// Lines beyond this length are cut, as the host does.
enum { kHelpMaxLine = 300, kHelpMaxTopics = 2000 };

enum HelpSpanKind { kHelpPlain, kHelpHighlight, kHelpLink };

struct HelpSpan {
  HelpSpanKind Kind;
  std::string Text;
  std::string Topic;  // a link's target; empty otherwise
};

struct HelpLine {
  std::vector<HelpSpan> Spans;
  int Centred;
};

struct HelpTopic {
  std::string Name;  // without the "@"
  std::vector<HelpLine> Header;
  std::vector<HelpLine> Body;
};

struct HelpFile {
  std::string LanguageName;  // from ".Language=Name,Description"
  std::vector<HelpTopic> Topics;
};

// Parses one line's markup into spans. An unclosed "#" highlights to the
// end of the line; an unclosed link is plain text.
HelpLine ParseHelpLine(const std::string& line);

// Parses a whole file. Lines before the first topic are directives
// (".Language=", ".PluginContents=", ".Options") or ignored; "@-" and "@+"
// are skipped. CR before LF is dropped. Never fails; at most kHelpMaxTopics
// topics.
void ParseHelpFile(const std::string& bytes, HelpFile* out);

// Where the host looks a box's help topic up, as the file manager does:
// "<folder\>Topic" names the help file in that folder (the folder ends in
// its separator); any other topic is the plugin's when the box carries the
// plugin's number (message, menu, dialog) and the host's own when it does
// not (an input box). An empty topic stays empty (the file's Contents).
enum HelpSource { kHostHelp, kPluginHelp, kFolderHelp };
struct HelpReference {
  HelpSource Source;
  std::string Folder;  // for kFolderHelp
  std::string Topic;
};
HelpReference ResolveHelpTopic(const std::string& topic, int fromPlugin);

// The topic of a name (ASCII case ignored), or null.
const HelpTopic* FindHelpTopic(const HelpFile& file, const std::string& name);

// The plain text of a line (markup removed), for searching and tests.
std::string HelpLineText(const HelpLine& line);

// Reads the help file for a language from a folder: among the *.hlf files
// the one whose language name matches, else "English", else the last.
// Returns 0 when there is none or it cannot be read.
int LoadHelpFile(const std::string& folder, const std::string& language,
                 HelpFile* out);

#endif  // TOLVANE_FARHOST_BROWSE_HELP_FILE_H
