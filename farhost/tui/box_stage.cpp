#include "farhost/tui/box_stage.h"

#include "farhost/tui/screen.h"

BoxStage::BoxStage(const std::string& historyPath) : historyPath_(historyPath) {
  if (!historyPath_.empty()) histories_.Load(historyPath_);
}

void BoxStage::PushLayer(std::function<void()> paint) {
  layers_.push_back(std::move(paint));
}

void BoxStage::PopLayer() {
  if (!layers_.empty()) layers_.pop_back();
}

void BoxStage::Redraw() {
  ScreenHideCursor();
  ScreenFill(0, 0, ScreenWidth() - 1, ScreenHeight() - 1, kColorBackground);
  for (const auto& paint : layers_) paint();
  ScreenRefresh();
}

void BoxStage::HistoryChanged() {
  if (!historyPath_.empty()) histories_.Save(historyPath_);
}

void BoxStage::SetHelpHandler(
    std::function<void(const std::string&, int)> show) {
  help_ = std::move(show);
}

int BoxStage::OfferHelp(const KeyEvent& key) {
  if (key.Key != VK_F1 || key.Control != 0 || !help_ || inHelp_ ||
      helpTopics_.empty() || helpTopics_.back().first.empty())
    return 0;
  inHelp_ = 1;
  help_(helpTopics_.back().first, helpTopics_.back().second);
  inHelp_ = 0;
  return 1;
}

HelpScope::HelpScope(BoxStage* stage, const std::string& topic, int fromPlugin)
    : Stage(stage) {
  Stage->helpTopics_.emplace_back(topic, fromPlugin);
}

HelpScope::~HelpScope() { Stage->helpTopics_.pop_back(); }

void WaitKey(BoxStage* stage, KeyEvent* key) {
  for (;;) {
    stage->Redraw();
    ScreenReadKey(key);
    if (key->Key == kKeyResize || stage->OfferHelp(*key)) continue;
    return;
  }
}
