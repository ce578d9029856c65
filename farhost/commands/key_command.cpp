#include "farhost/commands/key_command.h"

#include <cstring>

#include "farhost/commands/list_format.h"
#include "farhost/commands/script_run.h"
#include "farhost/commands/view_mode.h"
#include "farhost/host/host_panels.h"
#include "farhost/sys/sys.h"

namespace {

const int kEnter = 13, kPageUp = 33, kPageDown = 34, kInsert = 45, kF3 = 114,
          kF7 = 118;

struct KeyName {
  const char* Name;
  KeyStep::Kind kind;
  int Code;
  unsigned Control;
};

const KeyName kKeys[] = {
    {"Up", KeyStep::kMove, kMoveUp, 0},
    {"Down", KeyStep::kMove, kMoveDown, 0},
    {"Home", KeyStep::kMove, kMoveHome, 0},
    {"End", KeyStep::kMove, kMoveEnd, 0},
    {"PgUp", KeyStep::kMove, kMovePageUp, 0},
    {"PgDn", KeyStep::kMove, kMovePageDown, 0},
    {"Enter", KeyStep::kPluginKey, kEnter, 0},
    {"CtrlEnter", KeyStep::kPluginKey, kEnter, PKF_CONTROL},
    {"CtrlPgUp", KeyStep::kPluginKey, kPageUp, PKF_CONTROL},
    {"CtrlPgDn", KeyStep::kPluginKey, kPageDown, PKF_CONTROL},
    {"CtrlIns", KeyStep::kPluginKey, kInsert, PKF_CONTROL},
    {"F7", KeyStep::kPluginKey, kF7, 0},
};

// "N" as a number 0..9999; -1 for anything else.
int SmallNumber(const std::string& text) {
  if (text.empty() || text.size() > 4) return -1;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

int StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// An answer token; 0 when the token is not one.
int ParseAnswer(const std::string& token, UiAnswer* answer) {
  if (token == "Esc") {
    *answer = UiAnswer::Cancel();
    return 1;
  }
  if (StartsWith(token, "Input:")) {
    *answer = UiAnswer::Input(token.substr(6));
    return 1;
  }
  static const char* const kNumbered[] = {"Menu:", "Button:", "Dialog:"};
  for (int kind = 0; kind < 3; ++kind) {
    if (!StartsWith(token, kNumbered[kind])) continue;
    int n = SmallNumber(token.substr(std::strlen(kNumbered[kind])));
    if (n < 0) return 0;
    *answer = kind == 0   ? UiAnswer::MenuItem(n)
              : kind == 1 ? UiAnswer::Button(n)
                          : UiAnswer::DialogClose(n);
    return 1;
  }
  return 0;
}

// A key token; 0 when the token is not one.
int ParseKey(const std::string& token, KeyStep* step) {
  *step = KeyStep{token, KeyStep::kPluginKey, 0, 0, std::string(), {}};
  for (const KeyName& key : kKeys) {
    if (token != key.Name) continue;
    step->kind = key.kind;
    step->Code = key.Code;
    step->Control = key.Control;
    return 1;
  }
  int n = StartsWith(token, "CtrlF") ? SmallNumber(token.substr(5)) : -1;
  if (n >= 3 && n <= 12) {
    step->Code = kF3 + n - 3;
    step->Control = PKF_CONTROL;
    return 1;
  }
  if (StartsWith(token, "F7:")) {
    step->Name = "F7";
    step->Code = kF7;
    step->Answers.push_back(UiAnswer::Input(token.substr(3)));
    return 1;
  }
  if (StartsWith(token, "CmdLine:")) {
    step->kind = KeyStep::kCommandLine;
    step->Text = token.substr(8);
    return 1;
  }
  n = token.size() == 5 && StartsWith(token, "Ctrl")
          ? SmallNumber(token.substr(4))
          : -1;
  if (n < 0) return 0;
  step->kind = KeyStep::kViewMode;
  step->Code = n;
  return 1;
}

std::string Shown(int codePage, const std::string& text) {
  std::string shown;
  SysOemToUtf8(codePage, text, &shown);
  return shown;
}

}  // namespace

int ParseKeySteps(const std::vector<std::string>& tokens,
                  std::vector<KeyStep>* steps, std::string* error) {
  steps->clear();
  for (const std::string& token : tokens) {
    KeyStep step;
    UiAnswer answer;
    if (ParseKey(token, &step)) {
      steps->push_back(step);
    } else if (ParseAnswer(token, &answer) && !steps->empty()) {
      steps->back().Answers.push_back(answer);
    } else {
      *error = steps->empty() && ParseAnswer(token, &answer)
                   ? "an answer before any key: " + token
                   : "not a key: " + token;
      return 0;
    }
  }
  return 1;
}

void MovePanelCursor(PanelModel* panel, int move) {
  int last = static_cast<int>(panel->Items.size()) - 1;
  int& cursor = panel->CurrentItem;
  switch (move) {
    case kMoveUp:
      --cursor;
      break;
    case kMoveDown:
      ++cursor;
      break;
    case kMoveHome:
      cursor = 0;
      break;
    case kMoveEnd:
      cursor = last;
      break;
    case kMovePageUp:
      cursor -= kPanelPageRows;
      break;
    default:
      cursor += kPanelPageRows;
      break;
  }
  ClampCursor(panel, kPanelPageRows);
}

namespace {

// Enter with text on the command line: the plugin may take it; else the
// host runs the line (the plugin's prefix opens a panel) and clears it.
void EnterCommandLine(FarHost* host, PanelModel* panel) {
  if (host->Exports().ProcessKey(panel->Plugin, kEnter, 0)) return;
  std::string line = host->commandLine;
  host->commandLine.clear();
  host->commandCursor = 0;
  OpenFromCommandLine(host, line);
}

void RunPluginKey(FarHost* host, PanelModel* panel, const KeyStep& step) {
  if (step.Code == kEnter && step.Control == 0) {
    if (!host->commandLine.empty())
      EnterCommandLine(host, panel);
    else
      PressEnter(host);
    return;
  }
  if (host->Exports().ProcessKey(panel->Plugin, step.Code, step.Control))
    return;
  if (step.Code == kPageUp && step.Control == PKF_CONTROL)
    ChangeDirectory(host, panel, "..", 0);
  else if (step.Code == kPageDown && step.Control == PKF_CONTROL)
    EnterCurrentItem(host, panel);
}

void RunStep(FarHost* host, const KeyStep& step) {
  PanelModel* panel = host->activePanel;
  if (step.kind == KeyStep::kCommandLine) {
    host->commandLine = step.Text.substr(0, kCommandLineSize - 1);
    host->commandCursor = host->commandLine.size();
    return;
  }
  if (panel == nullptr) return;
  if (step.kind == KeyStep::kMove)
    MovePanelCursor(panel, step.Code);
  else if (step.kind == KeyStep::kViewMode)
    ChangeViewMode(host, panel, step.Code);
  else
    RunPluginKey(host, panel, step);
}

struct KeyReport {
  int CodePage;
  std::ostream* Err;
  int Boxes = 0;
  int Faults = 0;
};

// Says on the error stream what the key's boxes were and what went
// wrong with their answers.
void ReportBoxes(const KeyStep& step, const ScriptedUi& ui, KeyReport* r) {
  std::ostream& err = *r->Err;
  for (const UiCall& call : ui.Calls()) {
    if (call.kind == UiCall::kMessage) {
      ++r->Boxes;
      err << "tolvane: " << step.Name
          << ": box: " << Shown(r->CodePage, call.Message.Title);
      for (const std::string& line : call.Message.Lines)
        err << " | " << Shown(r->CodePage, line);
      err << "\n";
    } else if (call.Unanswered) {
      ++r->Faults;
      err << "tolvane: " << step.Name << ": a box had no answer\n";
    }
    if (!call.Fault.empty()) {
      ++r->Faults;
      err << "tolvane: " << step.Name << ": " << call.Fault << "\n";
    }
  }
  if (ui.Pending() > 0) {
    ++r->Faults;
    err << "tolvane: " << step.Name << ": " << ui.Pending()
        << " answers were not asked for\n";
  }
}

void PrintState(const FarHost* host, const KeyStep& step, int codePage,
                std::ostream& out) {
  const PanelModel* panel = host->activePanel;
  out << "# " << step.Name << " -> cursor "
      << (panel != nullptr ? panel->CurrentItem : -1) << ", directory "
      << Shown(codePage, panel != nullptr ? panel->CurDir : std::string())
      << ", command line " << Shown(codePage, host->commandLine) << "\n";
  if (panel != nullptr) WriteTsvListing(*panel, codePage, out);
}

}  // namespace

int RunKey(const ScriptOptions& options, const std::string* path,
           const std::vector<std::string>& tokens, std::ostream& out,
           std::ostream& err) {
  std::vector<KeyStep> steps;
  std::string error;
  if (!ParseKeySteps(tokens, &steps, &error)) {
    err << "tolvane: " << error << "\n";
    return kExitUsage;
  }
  ScriptedUi idle;  // boxes outside the keys: nobody answers
  ScriptRunState run;
  run.Options = options;
  run.Err = &err;
  int status = kExitOk;
  PanelModel* panel = StartScriptRun(&run, &idle, &status);
  if (panel != nullptr && path != nullptr &&
      !MoveScriptPanel(&run, panel, *path))
    status = kExitFailed;
  KeyReport report{options.Host.CodePage, &err};
  for (size_t i = 0; status == kExitOk && i < steps.size(); ++i) {
    ScriptedUi keyUi;
    for (const UiAnswer& answer : steps[i].Answers) keyUi.Push(answer);
    run.Host->ui = &keyUi;
    RunStep(run.Host.get(), steps[i]);
    run.Host->ui = &idle;
    ReportBoxes(steps[i], keyUi, &report);
    PrintState(run.Host.get(), steps[i], options.Host.CodePage, out);
  }
  KeyStep start{"start", KeyStep::kMove, 0, 0, std::string(), {}};
  ReportBoxes(start, idle, &report);
  if (status == kExitOk && report.Faults > 0) status = kExitFailed;
  return FinishScriptRun(&run, status, report.Boxes);
}
