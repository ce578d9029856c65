// The host's entries of PluginStartupInfo other than the boxes: GetMsg,
// Control (the panel commands in panel_control.cpp), the harmless rest, and
// the records handed to SetStartupInfo, filled and handed over.
//
// Harmless entries: SaveScreen returns null; RestoreScreen, Text and
// FreeDirList do nothing; GetDirList, GetPluginDirList, Viewer, Editor,
// CmpName, CharTable, EditorControl, ShowHelp, SendDlgMessage and
// DefDlgProc return 0; DialogEx returns -1 (cancelled) and records that it
// is not offered; AdvControl answers ACTL_GETFARVERSION with the 1.70
// build 591 word and 0 otherwise; ViewerControl is null.
#include <cstring>
#include <string>

#include "farhost/host/host.h"
#include "farhost/host/host_boxes.h"
#include "farhost/host/panel_control.h"
#include "farhost/host/services.h"

namespace {

// The marker handed out for a message the language file does not hold.
const char* MissingMessage(FarHost* host, int msgId) {
  auto found = host->missingMessages.find(msgId);
  if (found != host->missingMessages.end()) return found->second.c_str();
  std::string where = host->language.Path.empty() ? std::string("no file")
                                                  : host->language.Path;
  host->RecordError("message " + std::to_string(msgId) + " not found in " +
                    where);
  std::string marker = "<message " + std::to_string(msgId) + " missing>";
  return host->missingMessages.emplace(msgId, marker).first->second.c_str();
}

const char* FARAPI HostGetMsg(intptr_t pluginNumber, int msgId) {
  FarHost* host = ActiveHost();
  if (host == nullptr) return "";
  LoadHostLanguage(host);
  CheckPluginNumber(host, "GetMsg", pluginNumber);
  if (msgId > host->language.HighestRequested)
    host->language.HighestRequested = msgId;
  const std::vector<std::string>& messages = host->language.File.Messages;
  if (msgId < 0 || static_cast<size_t>(msgId) >= messages.size())
    return MissingMessage(host, msgId);
  return messages[static_cast<size_t>(msgId)].c_str();
}

// Copies the host's command line into the plugin's buffer (at least
// kCommandLineSize bytes by the host's rules).
int GetCommandLine(FarHost* host, void* param) {
  if (param == nullptr) return 0;
  size_t length = host->commandLine.size();
  if (length > kCommandLineSize - 1) length = kCommandLineSize - 1;
  std::memcpy(param, host->commandLine.data(), length);
  static_cast<char*>(param)[length] = '\0';
  return 1;
}

// Inserts text at the cursor; the command line never grows past what
// GETCMDLINE can hand back.
int InsertCommandLine(FarHost* host, const char* text, ControlCall* call) {
  if (text == nullptr) return 0;
  call->Text = text;
  std::string& line = host->commandLine;
  if (host->commandCursor > line.size()) host->commandCursor = line.size();
  size_t room = kCommandLineSize - 1 - line.size();
  std::string piece = call->Text.substr(0, room);
  line.insert(host->commandCursor, piece);
  host->commandCursor += piece.size();
  return 1;
}

int RunControl(FarHost* host, HANDLE plugin, int command, void* param,
               ControlCall* call) {
  if (IsPanelCommand(command))
    return RunPanelControl(host, plugin, command, param, call);
  switch (command) {
    case FCTL_GETCMDLINE:
      return GetCommandLine(host, param);
    case FCTL_INSERTCMDLINE:
      return InsertCommandLine(host, static_cast<const char*>(param), call);
    default:
      return 0;
  }
}

int FARAPI HostControl(HANDLE plugin, int command, void* param) {
  FarHost* host = ActiveHost();
  if (host == nullptr) return 0;
  ControlCall call{plugin, command, 0, 0, {0, 0}, std::string()};
  call.Result = RunControl(host, plugin, command, param, &call);
  host->controls.push_back(call);
  return call.Result;
}

HANDLE FARAPI HostSaveScreen(int, int, int, int) { return nullptr; }
void FARAPI HostRestoreScreen(HANDLE) {}
int FARAPI HostGetDirList(const char*, PluginPanelItem**, int*) { return 0; }
int FARAPI HostGetPluginDirList(intptr_t, HANDLE, const char*,
                                PluginPanelItem**, int*) {
  return 0;
}
void FARAPI HostFreeDirList(const PluginPanelItem*) {}
int FARAPI HostViewer(const char*, const char*, int, int, int, int, DWORD) {
  return 0;
}
int FARAPI HostEditor(const char*, const char*, int, int, int, int, DWORD, int,
                      int) {
  return 0;
}
int FARAPI HostCmpName(const char*, const char*, int) { return 0; }
int FARAPI HostCharTable(int, char*, int) { return 0; }
void FARAPI HostText(int, int, int, const char*) {}
int FARAPI HostEditorControl(int, void*) { return 0; }
int FARAPI HostShowHelp(const char*, const char*, DWORD) { return 0; }

intptr_t FARAPI HostAdvControl(intptr_t moduleNumber, int command, void*) {
  FarHost* host = ActiveHost();
  if (host != nullptr) CheckPluginNumber(host, "AdvControl", moduleNumber);
  return command == ACTL_GETFARVERSION ? kHostVersionWord : 0;
}

int FARAPI HostDialogEx(intptr_t, int, int, int, int, const char*,
                        FarDialogItem*, int, DWORD, DWORD, FARWINDOWPROC,
                        intptr_t) {
  FarHost* host = ActiveHost();
  if (host != nullptr) host->RecordError("DialogEx is not offered");
  return -1;
}

intptr_t FARAPI HostSendDlgMessage(HANDLE, int, int, intptr_t) { return 0; }
intptr_t FARAPI HostDefDlgProc(HANDLE, int, int, intptr_t) { return 0; }

}  // namespace

void FillHostServices(PluginStartupInfo* info) {
  info->Menu = HostMenu;
  info->Dialog = HostDialog;
  info->Message = HostMessage;
  info->GetMsg = HostGetMsg;
  info->Control = HostControl;
  info->SaveScreen = HostSaveScreen;
  info->RestoreScreen = HostRestoreScreen;
  info->GetDirList = HostGetDirList;
  info->GetPluginDirList = HostGetPluginDirList;
  info->FreeDirList = HostFreeDirList;
  info->Viewer = HostViewer;
  info->Editor = HostEditor;
  info->CmpName = HostCmpName;
  info->CharTable = HostCharTable;
  info->Text = HostText;
  info->EditorControl = HostEditorControl;
  info->ShowHelp = HostShowHelp;
  info->AdvControl = HostAdvControl;
  info->InputBox = HostInputBox;
  info->DialogEx = HostDialogEx;
  info->SendDlgMessage = HostSendDlgMessage;
  info->DefDlgProc = HostDefDlgProc;
}

void FillStartupInfo(FarHost* host, PluginStartupInfo* info,
                     FarStandardFunctions* functions) {
  std::memset(static_cast<void*>(info), 0, sizeof(*info));
  info->StructSize = sizeof(*info);
  const std::string& path = host->PluginPath();
  size_t length = path.size() < NM - 1 ? path.size() : NM - 1;
  if (length < path.size())
    host->RecordError("the plugin's path is longer than ModuleName holds");
  std::memcpy(info->ModuleName, path.data(), length);
  info->ModuleNumber = kHostModuleNumber;
  info->RootKey = host->options.RootKey.c_str();
  FillHostServices(info);
  FillStandardFunctions(functions);
  info->FSF = functions;
}

void StartPlugin(FarHost* host) {
  PluginStartupInfo info;
  FarStandardFunctions functions;
  FillStartupInfo(host, &info, &functions);
  host->Exports().SetStartupInfo(&info);
  // Whatever the plugin kept of these records must be its own copy.
  std::memset(static_cast<void*>(&info), 0xA5, sizeof(info));
  std::memset(static_cast<void*>(&functions), 0xA5, sizeof(functions));
}
