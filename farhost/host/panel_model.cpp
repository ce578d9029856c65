#include "farhost/host/panel_model.h"

#include <cstring>

namespace {

// A text of the plugin, cut at limit bytes (the host's copy always ends).
std::string CopyText(const char* text, size_t limit) {
  return std::string(text, strnlen(text, limit));
}

// The block's size word; 0 when the block cannot be copied.
size_t UserDataSize(const PluginPanelItem& item, std::vector<std::string>* f) {
  const void* block = reinterpret_cast<const void*>(item.UserData);
  if (block == nullptr) {
    f->push_back("PPIF_USERDATA with a null UserData");
    return 0;
  }
  uint32_t size = 0;
  std::memcpy(&size, block, sizeof(size));
  if (size < sizeof(size) || size > kMaxUserDataBlock) {
    f->push_back("UserData block of " + std::to_string(size) + " bytes");
    return 0;
  }
  return size;
}

void CopyColumns(const PluginPanelItem& item, HostItemCopy* copy) {
  int count = item.CustomColumnNumber;
  if (item.CustomColumnData == nullptr || count < 0) count = 0;
  if (count > kMaxCustomColumns) count = kMaxCustomColumns;
  copy->Columns.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const char* text = item.CustomColumnData[i];
    copy->Columns[static_cast<size_t>(i)] =
        text != nullptr ? CopyText(text, kMaxItemText) : std::string();
  }
}

void CopyOne(const PluginPanelItem& item, HostItemCopy* copy,
             std::vector<std::string>* faults) {
  copy->Item = item;
  FarFindData& data = copy->Item.FindData;
  data.cFileName[sizeof(data.cFileName) - 1] = '\0';
  data.cAlternateFileName[sizeof(data.cAlternateFileName) - 1] = '\0';
  copy->HasDescription = item.Description != nullptr;
  copy->Description =
      copy->HasDescription ? CopyText(item.Description, kMaxItemText) : "";
  copy->HasOwner = item.Owner != nullptr;
  copy->Owner = copy->HasOwner ? CopyText(item.Owner, kMaxItemText) : "";
  CopyColumns(item, copy);
  if (item.Flags & PPIF_USERDATA) {
    size_t size = UserDataSize(item, faults);
    const unsigned char* block =
        reinterpret_cast<const unsigned char*>(item.UserData);
    if (size > 0) copy->UserData.assign(block, block + size);
    if (size == 0) copy->Item.Flags &= ~static_cast<DWORD>(PPIF_USERDATA);
  }
}

void BindOne(HostItemCopy* copy) {
  PluginPanelItem& item = copy->Item;
  item.Description = copy->HasDescription ? copy->Description.data() : nullptr;
  item.Owner = copy->HasOwner ? copy->Owner.data() : nullptr;
  // Sized once: the host binds every item of every listing.
  copy->ColumnPointers.resize(copy->Columns.size());
  for (size_t i = 0; i < copy->Columns.size(); ++i)
    copy->ColumnPointers[i] = copy->Columns[i].data();
  item.CustomColumnNumber = static_cast<int>(copy->Columns.size());
  item.CustomColumnData =
      copy->Columns.empty() ? nullptr : copy->ColumnPointers.data();
  if (item.Flags & PPIF_USERDATA)
    item.UserData = reinterpret_cast<uintptr_t>(copy->UserData.data());
}

}  // namespace

void CopyPluginItems(const PluginPanelItem* items, int count,
                     std::vector<HostItemCopy>* copies,
                     std::vector<std::string>* faults) {
  copies->clear();
  if (count <= 0) return;
  if (items == nullptr) {
    faults->push_back("GetFindData gave " + std::to_string(count) +
                      " items and no array");
    return;
  }
  if (count > kMaxListedItems) {
    faults->push_back("GetFindData gave " + std::to_string(count) +
                      " items; the host takes " +
                      std::to_string(int{kMaxListedItems}));
    count = kMaxListedItems;
  }
  copies->resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    CopyOne(items[i], &(*copies)[static_cast<size_t>(i)], faults);
  // The vector is final: the copies' pointers can be bound now.
  for (HostItemCopy& copy : *copies) BindOne(&copy);
}

void BindItems(PanelModel* model) {
  model->Items.clear();
  model->Items.reserve(model->Copies.size());
  for (HostItemCopy& copy : model->Copies) {
    BindOne(&copy);
    model->Items.push_back(copy.Item);
  }
}

int FindItemByName(const PanelModel& model, const std::string& name) {
  for (size_t i = 0; i < model.Items.size(); ++i)
    if (name == model.Items[i].FindData.cFileName) return static_cast<int>(i);
  return -1;
}

void ClampCursor(PanelModel* model, int pageHeight) {
  int count = static_cast<int>(model->Items.size());
  if (pageHeight < 1) pageHeight = 1;
  if (model->CurrentItem >= count) model->CurrentItem = count - 1;
  if (model->CurrentItem < 0) model->CurrentItem = 0;
  if (model->TopItem > model->CurrentItem) model->TopItem = model->CurrentItem;
  if (model->TopItem <= model->CurrentItem - pageHeight)
    model->TopItem = model->CurrentItem - pageHeight + 1;
  if (model->TopItem < 0) model->TopItem = 0;
}
