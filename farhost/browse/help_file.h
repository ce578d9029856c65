// The plugin's help file (*.hlf) as the host reads it: topics that start
// with "@Name", their non-scrolling header lines ("$ ..."), and in each line
// plain text, #highlighted# text and ~links~@Topic@. "##", "~~" and "@@"
// are the literal characters; a line starting with "^" is centred. A topic
// is laid out for the width of the help window as the host lays it out: a
// line that starts with a blank starts a paragraph, the lines after it are
// joined to it and the paragraph is cut at blanks to the width, counting
// only what shows (markup takes no room); "@-" and "@+" switch that off and
// on. The texts stay the plugin's OEM bytes. Pure, except for reading the
// folder.
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
  std::string Name;                // without the "@"
  std::vector<std::string> Lines;  // as the file has them, "@-"/"@+" too
};

struct HelpFile {
  std::string LanguageName;  // from ".Language=Name,Description"
  std::string Contents;      // from ".PluginContents=", the window's title
  std::vector<HelpTopic> Topics;
};

// A topic as the help window shows it: the header lines, then the body.
struct HelpPage {
  std::vector<HelpLine> Header;
  std::vector<HelpLine> Body;
};

// Parses one line's markup into spans. An unclosed "#" highlights to the
// end of the line; an unclosed link is plain text; a lone "@" hides the
// text up to the next one, as the host does.
HelpLine ParseHelpLine(const std::string& line);

// The columns a line of the file takes on the screen: its characters less
// the markup ('#', '~', a link's "@Topic@"), "##", "~~" and "@@" one each.
int HelpTextWidth(const std::string& line);

// Lays a topic out for a window whose text is `width` columns wide (the
// host's is its screen width less 10), as the host's help viewer does:
// tabs widened, trailing blanks dropped, a highlight open at the end of a
// line carried on to the next, the "$" lines right after the topic line as
// the header (with their blank), a paragraph cut at a blank where what
// shows of the part before is narrower than `width` (never inside a
// link's text; what follows keeps a blank in front), and a line that is
// too wide without a blank left whole. Blank lines at the end are dropped.
void LayOutHelpTopic(const HelpTopic& topic, int width, HelpPage* page);

// Parses a whole file. Lines before the first topic are directives
// (".Language=", ".PluginContents=", ".Options") or ignored. CR before LF
// is dropped; a line is cut to kHelpMaxLine bytes. Never fails; at most
// kHelpMaxTopics topics.
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
