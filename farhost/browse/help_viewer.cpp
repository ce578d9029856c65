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
  HelpTopic Missing;  // shown for a topic the file lacks
};

const HelpTopic& Shown(HelpState* s) {
  const HelpTopic* topic = FindHelpTopic(*s->File, s->Place.Topic);
  if (topic != nullptr) return *topic;
  s->Missing = HelpTopic{s->Place.Topic, {}, {}};
  s->Missing.Header.push_back(ParseHelpLine("#Help#"));
  s->Missing.Body.push_back(
      ParseHelpLine(" Help topic not found: " + s->Place.Topic));
  return s->Missing;
}

BoxRect HelpBox() {
  int w = ScreenWidth(), h = ScreenHeight();
  BoxRect r{2, 1, w - 3, h - 2};
  if (w < 20) r.X1 = 0, r.X2 = w - 1;
  if (h < 8) r.Y1 = 0, r.Y2 = h - 1;
  return r;
}

int BodyTop(const HelpTopic& topic, const BoxRect& r) {
  return r.Y1 + 1 + static_cast<int>(topic.Header.size()) +
         (topic.Header.empty() ? 0 : 1);
}

int BodyRows(const HelpTopic& topic, const BoxRect& r) {
  return std::max(1, r.Y2 - BodyTop(topic, r));
}

void PaintLine(const HelpLine& line, int x, int y, int width, int focusSpan) {
  int used = 0;
  std::string plain = HelpLineText(line);
  if (line.Centred && static_cast<int>(plain.size()) < width)
    used = (width - static_cast<int>(plain.size())) / 2;
  for (size_t i = 0; i < line.Spans.size() && used < width; ++i) {
    const HelpSpan& span = line.Spans[i];
    ScreenColor color = span.Kind == kHelpHighlight ? kColorHelpHighlight
                        : span.Kind == kHelpLink    ? kColorHelpLink
                                                    : kColorHelpText;
    if (static_cast<int>(i) == focusSpan) color = kColorHelpLinkFocus;
    ScreenText(x + used, y, width - used, span.Text, color);
    used += static_cast<int>(span.Text.size());
  }
}

void PaintHelp(HelpState* s) {
  const HelpTopic& topic = Shown(s);
  BoxRect r = HelpBox();
  ScreenFill(r.X1, r.Y1, r.X2, r.Y2, kColorHelpText);
  ScreenFrame(r.X1, r.Y1, r.X2, r.Y2, kFrameDouble, kColorHelpText);
  std::string shown;
  int tx = FrameTitleColumn(r.X1, r.X2, "Help", &shown);
  if (tx >= 0)
    ScreenText(tx, r.Y1, static_cast<int>(shown.size()), shown, kColorHelpText);
  int width = r.X2 - r.X1 - 2, y = r.Y1 + 1;
  for (const HelpLine& line : topic.Header)
    PaintLine(line, r.X1 + 1, y++, width, -1);
  if (!topic.Header.empty())
    ScreenSeparator(r.X1, r.X2, y, kFrameDouble, kFrameSingle, kColorHelpText);
  std::vector<HelpLinkPlace> links = HelpLinks(topic);
  HelpLinkPlace focus{-1, -1};
  if (s->Place.Link >= 0 && s->Place.Link < static_cast<int>(links.size()))
    focus = links[static_cast<size_t>(s->Place.Link)];
  int top = BodyTop(topic, r);
  for (int row = 0; row < BodyRows(topic, r); ++row) {
    int index = s->Place.Top + row;
    if (index >= static_cast<int>(topic.Body.size())) break;
    PaintLine(topic.Body[static_cast<size_t>(index)], r.X1 + 1, top + row,
              width, index == focus.Line ? focus.Span : -1);
  }
}

void ScrollTo(HelpState* s, int line) {
  const HelpTopic& topic = Shown(s);
  int rows = BodyRows(topic, HelpBox());
  if (line < s->Place.Top) s->Place.Top = line;
  if (line >= s->Place.Top + rows) s->Place.Top = line - rows + 1;
}

void ClampTop(HelpState* s) {
  const HelpTopic& topic = Shown(s);
  int last = std::max(
      0, static_cast<int>(topic.Body.size()) - BodyRows(topic, HelpBox()));
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
  const HelpTopic& topic = Shown(s);
  std::vector<HelpLinkPlace> links = HelpLinks(topic);
  if (s->Place.Link < 0 || s->Place.Link >= static_cast<int>(links.size()))
    return;
  HelpLinkPlace at = links[static_cast<size_t>(s->Place.Link)];
  std::string target = topic.Body[static_cast<size_t>(at.Line)]
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

std::vector<HelpLinkPlace> HelpLinks(const HelpTopic& topic) {
  std::vector<HelpLinkPlace> links;
  for (size_t line = 0; line < topic.Body.size(); ++line)
    for (size_t span = 0; span < topic.Body[line].Spans.size(); ++span)
      if (topic.Body[line].Spans[span].Kind == kHelpLink)
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
