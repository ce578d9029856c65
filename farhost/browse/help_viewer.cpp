// The help window: a framed box over the screen with the topic's header,
// its body scrolled below, links to move between and follow.
#include <algorithm>

#include "farhost/browse/viewers.h"
#include "farhost/tui/box_layout.h"
#include "farhost/tui/boxes.h"
#include "farhost/tui/screen.h"

namespace {

struct HelpPlace {
  std::string Topic;
  int Top;
  int Link;  // index into the topic's links, -1 for none
};

struct HelpState {
  const HelpFile* File;
  HelpPlace Place;
  std::vector<HelpPlace> Back;
  HelpPage Page;  // the shown topic, laid out for the window
};

// The window as the host places it (not full screen): 4 columns in from
// the sides, 2 rows down from the top and up from the bottom.
BoxRect HelpBox() {
  int w = ScreenWidth(), h = ScreenHeight();
  BoxRect r{4, 2, w - 5, h - 3};
  if (w < 20) r.X1 = 0, r.X2 = w - 1;
  if (h < 10) r.Y1 = 0, r.Y2 = h - 1;
  return r;
}

// The columns a paragraph may fill: the host's window less its frame and
// one column.
int TextWidth(const BoxRect& r) { return r.X2 - r.X1 - 1; }

const HelpPage& Shown(HelpState* s) {
  const HelpTopic* topic = FindHelpTopic(*s->File, s->Place.Topic);
  if (topic != nullptr) {
    LayOutHelpTopic(*topic, TextWidth(HelpBox()), &s->Page);
  } else {
    s->Page = HelpPage{};
    s->Page.Header.push_back(ParseHelpLine(" #Help#"));
    s->Page.Body.push_back(
        ParseHelpLine(" Help topic not found: " + s->Place.Topic));
  }
  return s->Page;
}

int BodyTop(const HelpPage& page, const BoxRect& r) {
  return r.Y1 + 1 + static_cast<int>(page.Header.size()) +
         (page.Header.empty() ? 0 : 1);
}

int BodyRows(const HelpPage& page, const BoxRect& r) {
  return std::max(1, r.Y2 - BodyTop(page, r));
}

// A line from the column after the frame, or centred in the window as the
// host centres it (counting the "^" too); cut before the right frame.
void PaintLine(const HelpLine& line, const BoxRect& r, int y, int focusSpan) {
  int x = r.X1 + 1;
  if (line.Centred)
    x = std::max(x, r.X1 + (r.X2 - r.X1 + 1 -
                            (static_cast<int>(HelpLineText(line).size()) + 1)) /
                               2);
  for (size_t i = 0; i < line.Spans.size() && x < r.X2; ++i) {
    const HelpSpan& span = line.Spans[i];
    ScreenColor color = span.Kind == kHelpHighlight ? kColorHelpHighlight
                        : span.Kind == kHelpLink    ? kColorHelpLink
                                                    : kColorHelpText;
    if (static_cast<int>(i) == focusSpan) color = kColorHelpLinkFocus;
    ScreenText(x, y, r.X2 - x, span.Text, color);
    x += static_cast<int>(span.Text.size());
  }
}

void PaintHelp(HelpState* s) {
  const HelpPage& page = Shown(s);
  BoxRect r = HelpBox();
  ScreenFill(r.X1, r.Y1, r.X2, r.Y2, kColorHelpText);
  ScreenFrame(r.X1, r.Y1, r.X2, r.Y2, kFrameDouble, kColorHelpText);
  std::string title =
      "Help - " + (s->File->Contents.empty() ? "FAR" : s->File->Contents);
  std::string shown;
  int tx = FrameTitleColumn(r.X1, r.X2, title, &shown);
  if (tx >= 0)
    ScreenText(tx, r.Y1, static_cast<int>(shown.size()), shown, kColorHelpText);
  int y = r.Y1 + 1;
  for (const HelpLine& line : page.Header) PaintLine(line, r, y++, -1);
  if (!page.Header.empty())
    ScreenSeparator(r.X1, r.X2, y, kFrameDouble, kFrameSingle, kColorHelpText);
  std::vector<HelpLinkPlace> links = HelpLinks(page);
  HelpLinkPlace focus{-1, -1};
  if (s->Place.Link >= 0 && s->Place.Link < static_cast<int>(links.size()))
    focus = links[static_cast<size_t>(s->Place.Link)];
  int top = BodyTop(page, r);
  for (int row = 0; row < BodyRows(page, r); ++row) {
    int index = s->Place.Top + row;
    if (index >= static_cast<int>(page.Body.size())) break;
    PaintLine(page.Body[static_cast<size_t>(index)], r, top + row,
              index == focus.Line ? focus.Span : -1);
  }
}

void ScrollTo(HelpState* s, int line) {
  int rows = BodyRows(Shown(s), HelpBox());
  if (line < s->Place.Top) s->Place.Top = line;
  if (line >= s->Place.Top + rows) s->Place.Top = line - rows + 1;
}

void ClampTop(HelpState* s) {
  const HelpPage& page = Shown(s);
  int last = std::max(
      0, static_cast<int>(page.Body.size()) - BodyRows(page, HelpBox()));
  s->Place.Top = std::clamp(s->Place.Top, 0, last);
}

void MoveLink(HelpState* s, int step) {
  std::vector<HelpLinkPlace> links = HelpLinks(Shown(s));
  if (links.empty()) return;
  int count = static_cast<int>(links.size());
  s->Place.Link = s->Place.Link < 0 ? (step > 0 ? 0 : count - 1)
                                    : (s->Place.Link + step + count) % count;
  ScrollTo(s, links[static_cast<size_t>(s->Place.Link)].Line);
}

void FollowLink(HelpState* s) {
  const HelpPage& page = Shown(s);
  std::vector<HelpLinkPlace> links = HelpLinks(page);
  if (s->Place.Link < 0 || s->Place.Link >= static_cast<int>(links.size()))
    return;
  HelpLinkPlace at = links[static_cast<size_t>(s->Place.Link)];
  std::string target = page.Body[static_cast<size_t>(at.Line)]
                           .Spans[static_cast<size_t>(at.Span)]
                           .Topic;
  s->Back.push_back(s->Place);
  s->Place = HelpPlace{target, 0, -1};
}

// Applies a key; 0 when it closes the window.
int HelpKey(HelpState* s, const KeyEvent& key) {
  int rows = BodyRows(Shown(s), HelpBox());
  switch (key.Key) {
    case kVkEscape:
    case VK_F10:
    case kKeyClosed:
      return 0;
    case kVkTab:
      MoveLink(s, (key.Control & PKF_SHIFT) ? -1 : 1);
      return 1;
    case VK_RETURN:
      FollowLink(s);
      return 1;
    case kVkBack:
      if (!s->Back.empty()) {
        s->Place = s->Back.back();
        s->Back.pop_back();
      }
      return 1;
    case VK_UP:
      s->Place.Top--;
      break;
    case VK_DOWN:
      s->Place.Top++;
      break;
    case VK_PRIOR:
      s->Place.Top -= rows;
      break;
    case VK_NEXT:
      s->Place.Top += rows;
      break;
    case VK_HOME:
      s->Place.Top = 0;
      break;
    case VK_END:
      s->Place.Top = 1 << 20;
      break;
    default:
      return 1;
  }
  ClampTop(s);
  return 1;
}

}  // namespace

std::vector<HelpLinkPlace> HelpLinks(const HelpPage& page) {
  std::vector<HelpLinkPlace> links;
  for (size_t line = 0; line < page.Body.size(); ++line)
    for (size_t span = 0; span < page.Body[line].Spans.size(); ++span)
      if (page.Body[line].Spans[span].Kind == kHelpLink)
        links.push_back(
            HelpLinkPlace{static_cast<int>(line), static_cast<int>(span)});
  return links;
}

void RunHelpViewer(TerminalUi* ui, const HelpFile& file,
                   const std::string& topic) {
  HelpState s{&file, HelpPlace{topic, 0, -1}, {}, {}};
  ui->PushLayer([&s] { PaintHelp(&s); });
  KeyEvent key;
  do {
    WaitKey(ui, &key);
  } while (HelpKey(&s, key));
  ui->PopLayer();
}
