// ncursesw under the host's boxes: start-up and restoring the terminal,
// colours, and clipped drawing with wide characters.
#include "farhost/tui/screen.h"

#include <curses.h>
#include <langinfo.h>
#include <term.h>
#include <termios.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

struct ScreenState {
  int Open;
  const CodePage* Page;
  int Colors;
  struct termios Saved;
  int HaveSaved;
  char Reset[256];  // written by the signal handler: leaves the full screen
  size_t ResetLength;
};

ScreenState g_screen;

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
struct sigaction g_previous[sizeof(kSignals) / sizeof(kSignals[0])];

const struct {
  short Foreground, Background;
  attr_t Extra;
} kPalette[kColorCount] = {
    {COLOR_WHITE, COLOR_BLACK, 0},        // background
    {COLOR_CYAN, COLOR_BLUE, A_BOLD},     // panel
    {COLOR_BLACK, COLOR_CYAN, 0},         // menu text
    {COLOR_WHITE, COLOR_CYAN, A_BOLD},    // menu frame
    {COLOR_YELLOW, COLOR_CYAN, A_BOLD},   // menu hot key
    {COLOR_WHITE, COLOR_BLACK, A_BOLD},   // menu selected
    {COLOR_YELLOW, COLOR_BLACK, A_BOLD},  // menu selected hot key
    {COLOR_BLACK, COLOR_WHITE, 0},        // dialog text
    {COLOR_BLUE, COLOR_WHITE, 0},         // dialog hot key
    {COLOR_BLACK, COLOR_CYAN, 0},         // dialog edit
    {COLOR_WHITE, COLOR_CYAN, A_BOLD},    // dialog focus
    {COLOR_WHITE, COLOR_RED, A_BOLD},     // warning text
    {COLOR_YELLOW, COLOR_RED, A_BOLD},    // warning hot key
    {COLOR_BLACK, COLOR_WHITE, 0},        // warning focus
    {COLOR_BLACK, COLOR_CYAN, 0},         // panel cursor
    {COLOR_YELLOW, COLOR_BLUE, A_BOLD},   // panel column title
    {COLOR_WHITE, COLOR_BLUE, A_BOLD},    // panel folder
    {COLOR_MAGENTA, COLOR_BLUE, A_BOLD},  // panel marked
    {COLOR_MAGENTA, COLOR_CYAN, A_BOLD},  // panel marked under the cursor
    {COLOR_WHITE, COLOR_BLACK, 0},        // key bar number
    {COLOR_BLACK, COLOR_CYAN, 0},         // key bar label
    {COLOR_BLACK, COLOR_CYAN, 0},         // help text
    {COLOR_WHITE, COLOR_CYAN, A_BOLD},    // help highlight
    {COLOR_YELLOW, COLOR_CYAN, A_BOLD},   // help link
    {COLOR_WHITE, COLOR_BLACK, A_BOLD},   // help link focused
};

// Without colours the selected and focused parts are drawn reversed.
attr_t MonochromeAttr(ScreenColor color) {
  switch (color) {
    case kColorMenuSelected:
    case kColorMenuSelectedHotKey:
    case kColorDialogEdit:
    case kColorDialogFocus:
    case kColorWarningFocus:
    case kColorPanelCursor:
    case kColorPanelMarkedCursor:
    case kColorKeyBarLabel:
    case kColorHelpLinkFocus:
      return A_REVERSE;
    case kColorPanelMarked:
    case kColorPanelColumnTitle:
    case kColorHelpHighlight:
    case kColorHelpLink:
      return A_BOLD;
    default:
      return A_NORMAL;
  }
}

void SetUpColors() {
  g_screen.Colors = has_colors();
  if (!g_screen.Colors) return;
  start_color();
  for (int i = 0; i < kColorCount; ++i)
    init_pair(static_cast<short>(i + 1), kPalette[i].Foreground,
              kPalette[i].Background);
}

void Attributes(ScreenColor color, attr_t* attrs, short* pair) {
  if (!g_screen.Colors) {
    *attrs = MonochromeAttr(color);
    *pair = 0;
    return;
  }
  *attrs = kPalette[color].Extra;
  *pair = static_cast<short>(color + 1);
}

void AppendCapability(const char* name) {
  char* value = tigetstr(const_cast<char*>(name));
  if (value == nullptr || value == reinterpret_cast<char*>(-1)) return;
  size_t length = std::strlen(value);
  if (g_screen.ResetLength + length >= sizeof(g_screen.Reset)) return;
  std::memcpy(g_screen.Reset + g_screen.ResetLength, value, length);
  g_screen.ResetLength += length;
}

// Only async-signal-safe calls: the terminal's own reset strings, the saved
// terminal modes, and _exit.
void OnSignal(int signal) {
  if (g_screen.Open) {
    ssize_t ignored =
        write(STDOUT_FILENO, g_screen.Reset, g_screen.ResetLength);
    (void)ignored;
    if (g_screen.HaveSaved) tcsetattr(STDIN_FILENO, TCSANOW, &g_screen.Saved);
  }
  _exit(128 + signal);
}

void InstallSignalHandlers() {
  struct sigaction action;
  std::memset(&action, 0, sizeof(action));
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
    sigaction(kSignals[i], &action, &g_previous[i]);
}

void RestoreSignalHandlers() {
  for (size_t i = 0; i < sizeof(kSignals) / sizeof(kSignals[0]); ++i)
    sigaction(kSignals[i], &g_previous[i], nullptr);
}

void ChooseLocale() {
  std::setlocale(LC_ALL, "");
  const char* codeset = nl_langinfo(CODESET);
  if (codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0) return;
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr)
    std::setlocale(LC_CTYPE, "C.utf8");
}

void PutWide(int x, int y, wchar_t ch, attr_t attrs, short pair) {
  if (x < 0 || y < 0 || x >= COLS || y >= LINES) return;
  wchar_t text[2] = {ch, L'\0'};
  cchar_t cell;
  setcchar(&cell, text, attrs, pair, nullptr);
  mvadd_wch(y, x, &cell);
}

}  // namespace

int ScreenOpen(int codePage) {
  if (g_screen.Open) return 1;
  const CodePage* page = CodePageFor(codePage);
  if (page == nullptr) page = CodePageFor(866);
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return 0;
  ChooseLocale();
  g_screen.HaveSaved = tcgetattr(STDIN_FILENO, &g_screen.Saved) == 0;
  set_escdelay(25);
  if (initscr() == nullptr) return 0;
  g_screen.Page = page;
  g_screen.Open = 1;
  g_screen.ResetLength = 0;
  for (const char* cap : {"sgr0", "cnorm", "rmkx", "rmcup"})
    AppendCapability(cap);
  raw();
  noecho();
  nonl();
  keypad(stdscr, TRUE);
  meta(stdscr, TRUE);
  SetUpColors();
  curs_set(0);
  InstallSignalHandlers();
  static int registered = 0;
  if (!registered) registered = std::atexit(ScreenClose) == 0;
  return 1;
}

void ScreenClose() {
  if (!g_screen.Open) return;
  g_screen.Open = 0;
  curs_set(1);
  endwin();
  RestoreSignalHandlers();
}

int ScreenIsOpen() { return g_screen.Open; }
int ScreenWidth() { return g_screen.Open ? COLS : 80; }
int ScreenHeight() { return g_screen.Open ? LINES : 25; }

const CodePage* ScreenCodePage() {
  return g_screen.Page != nullptr ? g_screen.Page : CodePageFor(866);
}

void ScreenPut(int x, int y, char32_t ch, ScreenColor color) {
  if (!g_screen.Open) return;
  attr_t attrs;
  short pair;
  Attributes(color, &attrs, &pair);
  PutWide(x, y, static_cast<wchar_t>(ch), attrs, pair);
}

void ScreenFill(int x1, int y1, int x2, int y2, ScreenColor color) {
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) ScreenPut(x, y, ' ', color);
}

void ScreenText(int x, int y, int width, const std::string& text,
                ScreenColor color) {
  const CodePage* page = ScreenCodePage();
  int count = static_cast<int>(text.size());
  if (width < count) count = width;
  for (int i = 0; i < count; ++i)
    ScreenPut(x + i, y, OemToUnicode(page, static_cast<unsigned char>(text[i])),
              color);
}

void ScreenFrame(int x1, int y1, int x2, int y2, FrameStyle style,
                 ScreenColor color) {
  // corners: top-left, top-right, bottom-left, bottom-right; then -, |
  static const char32_t kChars[2][6] = {
      {0x250C, 0x2510, 0x2514, 0x2518, 0x2500, 0x2502},
      {0x2554, 0x2557, 0x255A, 0x255D, 0x2550, 0x2551},
  };
  const char32_t* c = kChars[style == kFrameDouble ? 1 : 0];
  for (int x = x1 + 1; x < x2; ++x) {
    ScreenPut(x, y1, c[4], color);
    ScreenPut(x, y2, c[4], color);
  }
  for (int y = y1 + 1; y < y2; ++y) {
    ScreenPut(x1, y, c[5], color);
    ScreenPut(x2, y, c[5], color);
  }
  ScreenPut(x1, y1, c[0], color);
  ScreenPut(x2, y1, c[1], color);
  ScreenPut(x1, y2, c[2], color);
  ScreenPut(x2, y2, c[3], color);
}

void ScreenSeparator(int x1, int x2, int y, FrameStyle frame, FrameStyle line,
                     ScreenColor color) {
  // [frame][line]: left end, right end, line
  static const char32_t kChars[2][2][3] = {
      {{0x251C, 0x2524, 0x2500}, {0x255E, 0x2561, 0x2550}},
      {{0x255F, 0x2562, 0x2500}, {0x2560, 0x2563, 0x2550}},
  };
  const char32_t* c =
      kChars[frame == kFrameDouble ? 1 : 0][line == kFrameDouble ? 1 : 0];
  for (int x = x1 + 1; x < x2; ++x) ScreenPut(x, y, c[2], color);
  ScreenPut(x1, y, c[0], color);
  ScreenPut(x2, y, c[1], color);
}

void ScreenShowCursor(int x, int y) {
  if (!g_screen.Open) return;
  if (x < 0 || y < 0 || x >= COLS || y >= LINES) {
    curs_set(0);
    return;
  }
  move(y, x);
  curs_set(1);
}

void ScreenHideCursor() {
  if (g_screen.Open) curs_set(0);
}

void ScreenRefresh() {
  if (g_screen.Open) refresh();
}
