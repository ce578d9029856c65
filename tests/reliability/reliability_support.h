// What the reliability tests share: nodelist sets kept as hex text (the
// sound base set and damaged cases that patch it), temporary folders, the
// test build of the plugin run in farhost with a scratch settings key that
// points at a nodelist folder, a watchdog that bounds a case's time, and
// the process's memory figures.
#ifndef TOLVANE_TESTS_RELIABILITY_RELIABILITY_SUPPORT_H
#define TOLVANE_TESTS_RELIABILITY_RELIABILITY_SUPPORT_H

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "damage_case.h"
#include "farhost/host/host.h"
#include "farhost/host/host_panels.h"
#include "farhost/scripted/scripted_ui.h"

// The folder of the corpus files and the sound base set read from it.
std::string CorpusFolder();
int LoadBaseSet(FileSet* set, std::string* error);

// A fresh temporary folder, removed with its contents on destruction.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  // The folder with a trailing separator, as "Path to nodelist" wants it.
  const std::string& Path() const { return path_; }
  void Write(const FileSet& files) const;

 private:
  std::string path_;
};

// The test build of the plugin beside the test program.
std::string TestPluginPath();

// The plugin's English message number n (from its language file).
std::string PluginMessage(int n);

// The plugin run in farhost with its own settings key whose "Path to
// nodelist" is `nodelistDir`. The key is deleted on destruction.
class HostedPlugin {
 public:
  explicit HostedPlugin(const std::string& nodelistDir);
  ~HostedPlugin();
  HostedPlugin(const HostedPlugin&) = delete;
  HostedPlugin& operator=(const HostedPlugin&) = delete;

  // Loads and starts the plugin; 0 with a reason in *error.
  int Start(std::string* error);
  const PluginExports& Plugin() const { return host_->Exports(); }
  FarHost* Host() { return host_.get(); }
  ScriptedUi& Ui() { return ui_; }

  // Every message box so far as "title | line | line", one per box.
  std::vector<std::string> Messages() const;

 private:
  std::string rootKey_;
  ScriptedUi ui_;
  std::unique_ptr<FarHost> host_;
};

// SetDirectory(path, opMode) and, when it moved, GetFindData (handed the
// trial list) and FreeFindData. Returns the number of items listed, or -1
// when SetDirectory refused or GetFindData failed.
int MoveAndList(const PluginExports& plugin, HANDLE panel,
                const std::string& path, int opMode);

// Ends the process with a message when a case runs longer than its bound:
// a hang is reported as a failure, not waited out.
class Watchdog {
 public:
  Watchdog(const std::string& what, int seconds);
  ~Watchdog();

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

// VmSize and VmRSS of this process in KiB from /proc/self/status; 0 when
// the system does not tell.
int ReadMemoryFigures(long* vmSizeKiB, long* vmRssKiB);

// True on a POSIX system (the kill and fork tests need one).
bool IsPosixSystem();

// A number from the environment, or `fallback`.
long EnvNumber(const char* name, long fallback);

#endif  // TOLVANE_TESTS_RELIABILITY_RELIABILITY_SUPPORT_H
