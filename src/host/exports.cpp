// The plugin's thirteen exported entry points. Each one forwards to the
// module that does the work; nothing here throws or keeps state.
#include "commands/events.h"
#include "commands/export_file.h"
#include "commands/keys.h"
#include "config/configure.h"
#include "host/far_api.h"
#include "host/startup.h"
#include "panel/compare.h"
#include "panel/listing.h"
#include "panel/navigation.h"
#include "panel/panel_instance.h"

FAR_EXPORT void FARAPI SetStartupInfo(const PluginStartupInfo* info) {
  PluginSetStartupInfo(info);
}

FAR_EXPORT void FARAPI GetPluginInfo(PluginInfo* info) {
  PluginGetPluginInfo(info);
}

FAR_EXPORT HANDLE FARAPI OpenPlugin(int openFrom, intptr_t item) {
  return PanelOpenPlugin(openFrom, item);
}

FAR_EXPORT void FARAPI ClosePlugin(HANDLE plugin) {
  PanelClosePlugin(PanelFromHandle(plugin));
}

FAR_EXPORT void FARAPI GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo* info) {
  PanelGetOpenPluginInfo(PanelFromHandle(plugin), info);
}

FAR_EXPORT int FARAPI SetDirectory(HANDLE plugin, const char* dir, int opMode) {
  return PanelSetDirectory(PanelFromHandle(plugin), dir, opMode);
}

FAR_EXPORT int FARAPI GetFindData(HANDLE plugin, PluginPanelItem** items,
                                  int* count, int opMode) {
  return PanelGetFindData(PanelFromHandle(plugin), items, count, opMode);
}

FAR_EXPORT void FARAPI FreeFindData(HANDLE plugin, PluginPanelItem* items,
                                    int count) {
  PanelFreeFindData(PanelFromHandle(plugin), items, count);
}

FAR_EXPORT int FARAPI Compare(HANDLE plugin, const PluginPanelItem* item1,
                              const PluginPanelItem* item2, unsigned int mode) {
  return PanelCompare(PanelFromHandle(plugin), item1, item2, mode);
}

FAR_EXPORT int FARAPI ProcessKey(HANDLE plugin, int key, unsigned int state) {
  return PanelProcessKey(PanelFromHandle(plugin), key, state);
}

FAR_EXPORT int FARAPI ProcessEvent(HANDLE plugin, int event, void* param) {
  return PanelProcessEvent(PanelFromHandle(plugin), event, param);
}

FAR_EXPORT int FARAPI GetFiles(HANDLE, PluginPanelItem* items, int count,
                               int move, char* destPath, int opMode) {
  return PluginGetFiles(items, count, move, destPath, opMode);
}

FAR_EXPORT int FARAPI Configure(int itemNumber) {
  return PluginConfigure(itemNumber);
}
