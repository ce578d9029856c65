#include "farhost/host/panel_model.h"

#include <cstring>

namespace {

// Appends a text of the plugin, cut at kMaxItemText bytes, and its NUL.
void AppendText(const char* text, std::string* texts) {
  texts->append(text, strnlen(text, kMaxItemText));
  texts->push_back('\0');
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

void CopyOne(const PluginPanelItem& item, HostItemCopy* copy,
             std::vector<std::string>* faults) {
  copy->Item = item;
  FarFindData& data = copy->Item.FindData;
  data.cFileName[sizeof(data.cFileName) - 1] = '\0';
  data.cAlternateFileName[sizeof(data.cAlternateFileName) - 1] = '\0';
  copy->HasDescription = item.Description != nullptr;
  copy->HasOwner = item.Owner != nullptr;
  int count = item.CustomColumnNumber;
  if (item.CustomColumnData == nullptr || count < 0) count = 0;
  if (count > kMaxCustomColumns) count = kMaxCustomColumns;
  copy->ColumnCount = count;
  copy->Texts.clear();
  if (copy->HasDescription) AppendText(item.Description, &copy->Texts);
  if (copy->HasOwner) AppendText(item.Owner, &copy->Texts);
  for (int i = 0; i < count; ++i) {
    const char* text = item.CustomColumnData[i];
    AppendText(text != nullptr ? text : "", &copy->Texts);
  }
  if (item.Flags & PPIF_USERDATA) {
    size_t size = UserDataSize(item, faults);
    const unsigned char* block =
        reinterpret_cast<const unsigned char*>(item.UserData);
    if (size > 0) copy->UserData.assign(block, block + size);
    if (size == 0) copy->Item.Flags &= ~static_cast<DWORD>(PPIF_USERDATA);
  }
}

// The text that starts at *at in Texts; *at moves past its NUL. Past the
// end (a copy not made by CopyOne) every text is empty.
char* NextText(HostItemCopy* copy, size_t* at) {
  if (*at >= copy->Texts.size()) return copy->Texts.data() + copy->Texts.size();
  char* text = copy->Texts.data() + *at;
  *at += std::strlen(text) + 1;
  return text;
}

void BindOne(HostItemCopy* copy) {
  PluginPanelItem& item = copy->Item;
  size_t at = 0;
  item.Description = copy->HasDescription ? NextText(copy, &at) : nullptr;
  item.Owner = copy->HasOwner ? NextText(copy, &at) : nullptr;
  // Sized once: the host binds every item of every listing.
  copy->ColumnPointers.resize(static_cast<size_t>(copy->ColumnCount));
  for (char*& column : copy->ColumnPointers) column = NextText(copy, &at);
  item.CustomColumnNumber = copy->ColumnCount;
  item.CustomColumnData =
      copy->ColumnCount == 0 ? nullptr : copy->ColumnPointers.data();
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
