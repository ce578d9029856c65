#include "panel/item_user_data.h"

#include <cstring>

int ReadItemUserData(const PluginPanelItem* item, ItemUserData* data) {
  std::memset(data, 0, sizeof(*data));
  if (!item || !(item->Flags & PPIF_USERDATA) || item->UserData == 0) return 0;
  const void* block = reinterpret_cast<const void*>(item->UserData);
  uint32_t size = 0;
  std::memcpy(&size, block, sizeof(size));
  if (size < kItemUserDataSize) return 0;
  std::memcpy(data, block, kItemUserDataSize);
  return 1;
}

void WriteItemUserData(void* block, const ItemUserData* data) {
  std::memcpy(block, data, kItemUserDataSize);
}
