// What the panel tests share: a started host with the test plugin on the
// bundled sample nodelist (or another folder), panels opened as the host
// opens them, and the tools beside the tests (tolvane, tolvane-compile) run
// as child processes.
#ifndef TOLVANE_TESTS_FARHOST_PANEL_FIXTURE_H
#define TOLVANE_TESTS_FARHOST_PANEL_FIXTURE_H

#include <memory>
#include <string>
#include <vector>

#include "farhost/host/host_panels.h"
#include "farhost/scripted/scripted_ui.h"
#include "plugin_fixture.h"

// The folder of the compiled sample, with a trailing separator.
std::string SamplePath();

// The file names of a panel's items, blank-separated.
std::string NamesOf(const PanelModel& panel);

// The message boxes the front end was asked for, as "title|line|line".
std::vector<std::string> BoxesOf(const ScriptedUi& ui);

class PanelTest : public PluginTest {
 protected:
  void SetUp() override;

  // Writes a text value under the plugin's key; reads one back ("" when
  // missing).
  void WriteText(const char* name, const std::string& value) const;
  std::string ReadText(const char* name) const;

  // Loads and starts the test plugin (once per test).
  FarHost* Start();

  // Opens a panel from the plugins menu and, with a path (taken as an
  // absolute one unless it is a search), moves it there interactively;
  // fails the test when either is refused.
  PanelModel* Open(const char* path = nullptr);

  ScriptedUi ui_;
  std::unique_ptr<FarHost> host_;
  std::vector<std::string> messages_;
};

struct ToolRun {
  int Status;
  std::string Out;
  std::string Err;
};

// Runs a program beside the tests ("tolvane", "tolvane-compile") with the
// arguments (already quoted with SysQuoteArgument where needed); standard
// error is collected through a temporary file.
ToolRun RunTool(const char* tool, const std::string& arguments);

// Writes the texts as NODELIST.001 (and POINTS.001 when not empty) into
// folder and compiles them there as NODEX (V7+). Returns the compiler run.
ToolRun CompileNodelist(const std::string& folder, const std::string& nodelist,
                        const std::string& pointlist);

// Copies the sample into folder and points the last child of the address
// index's root block at a block past the end of the index; returns the
// copy's folder with a trailing separator.
std::string DamagedSample(const std::string& folder);

// A temporary folder removed when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

#endif  // TOLVANE_TESTS_FARHOST_PANEL_FIXTURE_H
