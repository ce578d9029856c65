#include "host/startup.h"

#include <cstring>

#include "config/settings.h"
#include "host/host_binding.h"
#include "host/messages.h"
#include "nodelist/records.h"
#include "panel/listing.h"
#include "panel/panel_instance.h"
#include "panel/panel_modes.h"
#include "platform/platform.h"

char SearchRequest[kSearchRequestSize];
char SearchHelpTopic[kSearchHelpTopicSize];

namespace {

const char kCommandPrefix[] = "V7";
const char kSettingsSubkey[] = "\\Tolvane";

// Copies the host's table, no more of it than the host says it has; the
// slots a smaller host lacks stay null.
void CopyStandardFunctions(const FarStandardFunctions* fsf) {
  std::memset(&HostFunctions, 0, sizeof(HostFunctions));
  if (!fsf) return;
  size_t size = sizeof(HostFunctions);
  if (fsf->StructSize > 0 && static_cast<size_t>(fsf->StructSize) < size)
    size = static_cast<size_t>(fsf->StructSize);
  std::memcpy(&HostFunctions, fsf, size);
}

void FormSettingsKeyPath(const char* rootKey) {
  size_t room = sizeof(SettingsKeyPath) - sizeof(kSettingsSubkey);
  size_t length = rootKey ? strnlen(rootKey, room) : 0;
  std::memcpy(SettingsKeyPath, rootKey ? rootKey : "", length);
  std::memcpy(SettingsKeyPath + length, kSettingsSubkey,
              sizeof(kSettingsSubkey));
}

void FormSearchHelpTopic(const char* moduleName) {
  static const char kTopic[] = "SearchSysop";
  size_t folder = strnlen(moduleName, sizeof(PluginStartupInfo::ModuleName));
  while (folder > 0 && moduleName[folder - 1] != '\\' &&
         moduleName[folder - 1] != '/')
    --folder;
  char* at = SearchHelpTopic;
  if (folder > 0) {
    *at++ = '<';
    std::memcpy(at, moduleName, folder);
    at += folder;
    *at++ = '>';
  }
  std::memcpy(at, kTopic, sizeof(kTopic));
}

}  // namespace

void PrepareLibrary() {
  std::memset(PanelSlots, 0, sizeof(PanelSlots));
  std::memset(&Nodelist, 0, sizeof(Nodelist));
  Nodelist.Directory = NodelistPath;
  Nodelist.NodelistName = NodelistName;
  Nodelist.Key = &SearchKey;
  Nodelist.OnMatch = OnNodeMatch;
  BindPanelModes();
  LoadColumnBlock(DefaultColumnBlock, DefaultColumnBlockLength);
}

void PluginSetStartupInfo(const PluginStartupInfo* info) {
  ResetSettings();
  std::memcpy(SearchRequest, "?", 2);
  Host.ModuleNumber = info->ModuleNumber;
  Host.Menu = info->Menu;
  Host.Control = info->Control;
  Host.Dialog = info->Dialog;
  Host.GetMsg = info->GetMsg;
  Host.Message = info->Message;
  Host.InputBox = info->InputBox;
  CopyStandardFunctions(info->FSF);
  FormSettingsKeyPath(info->RootKey);
  FormSearchHelpTopic(info->ModuleName);
  LoadMessages();
  LoadSettings();
}

void PluginGetPluginInfo(PluginInfo* info) {
  info->StructSize = sizeof(PluginInfo);
  info->DiskMenuStrings = &MessageTable[MPluginName];
  info->DiskMenuNumbers = &DisksMenuDigit;
  info->DiskMenuStringsNumber = (Options & OptionDisksMenu) ? 1 : 0;
  info->PluginMenuStrings = &MessageTable[MPluginName];
  info->PluginMenuStringsNumber = 1;
  info->PluginConfigStrings = &MessageTable[MPluginName];
  info->PluginConfigStringsNumber = 1;
  info->CommandPrefix = kCommandPrefix;
}
