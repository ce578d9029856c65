// The host's full-screen text viewer (F3) and its help window (F1), both
// modal on the TerminalUi: they push a layer, read keys until closed and
// pop it. Texts are the plugin's OEM bytes.
#ifndef TOLVANE_FARHOST_BROWSE_VIEWERS_H
#define TOLVANE_FARHOST_BROWSE_VIEWERS_H

#include <string>
#include <vector>

#include "farhost/browse/help_file.h"
#include "farhost/tui/terminal_ui.h"

// Lines of a text: split at LF, a CR before it dropped, tabs expanded to
// the next multiple of 8, other control bytes shown as they are mapped.
// Pure.
std::vector<std::string> SplitViewerLines(const std::string& text);

// Shows the text with its title (the file's name) in the top row. Up,
// Down, PgUp, PgDn, Home, End, Left and Right scroll; Esc, F3 and F10
// close.
void RunTextViewer(TerminalUi* ui, const std::string& title,
                   const std::string& text);

// The links of a laid-out topic in reading order: line index in the body
// and the span's index in the line. Pure.
struct HelpLinkPlace {
  int Line;
  int Span;
};
std::vector<HelpLinkPlace> HelpLinks(const HelpPage& page);

// Shows a topic of the file in the help window, placed and laid out as the
// host does (LayOutHelpTopic), titled "Help - " and the file's
// ".PluginContents". Tab and Shift+Tab move
// between the links, Enter follows one, Backspace goes back to the topic
// shown before, Up, Down, PgUp, PgDn, Home and End scroll; Esc and F10
// close. A missing topic shows a line that names it.
void RunHelpViewer(TerminalUi* ui, const HelpFile& file,
                   const std::string& topic);

#endif  // TOLVANE_FARHOST_BROWSE_VIEWERS_H
