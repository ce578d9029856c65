#include "config/dialog_builder.h"

#include <cstring>

#include "host/host_binding.h"
#include "host/messages.h"
#include "nodelist/text_fields.h"

namespace {

// Column of the frame, and the column from which item texts are counted.
enum { kFrameLeft = 3, kFrameTop = 1, kTextColumn = 5 };

const char* RowText(const DialogTemplateItem& row) {
  if (row.Flags & kTemplateMessage) {
    if (row.Text < 0 || row.Text >= kMessageCount) return "";
    return MessageTable[row.Text] ? MessageTable[row.Text] : "";
  }
  return row.Text ? reinterpret_cast<const char*>(row.Text) : "";
}

void FillItem(FarDialogItem* item, const DialogTemplateItem& row) {
  item->Type = row.Type;
  item->X1 = row.X;
  item->Y1 = row.Y;
  if (row.Width != 0) item->X2 = row.X + row.Width - 1;
  item->Reserved = row.Selected;  // a check state or a history name
  item->Flags = row.Flags & ~kTemplateMessage;
  CopyClipped(item->Data, RowText(row), sizeof(item->Data));
}

// The widest row, widened for items without a right edge of their own.
int ContentWidth(const DialogTemplateItem* rows, const FarDialogItem* items,
                 int count) {
  int width = 0;
  for (int r = 0; r + 1 < count; ++r)
    if (rows[r].Width > width) width = rows[r].Width;
  for (int i = 1; i < count; ++i) {
    if (items[i].X2 != 0) continue;
    int needed = static_cast<int>(std::strlen(items[i].Data)) + items[i].X1 -
                 kTextColumn;
    if (needed > width) width = needed;
  }
  return width;
}

}  // namespace

int BuildDialog(const char* title, const DialogTemplateItem* rows,
                FarDialogItem* items, int count, const char* helpTopic,
                int focus, int defaultItem) {
  if (count < 1) return -1;
  std::memset(items, 0, sizeof(FarDialogItem) * static_cast<size_t>(count));
  items[0].Type = DI_DOUBLEBOX;
  for (int r = 0; r + 1 < count; ++r) FillItem(&items[r + 1], rows[r]);
  if (focus >= 0 && focus < count) items[focus].Focus = 1;
  if (defaultItem >= 0 && defaultItem < count)
    items[defaultItem].DefaultButton = 1;
  if (title) CopyClipped(items[0].Data, title, sizeof(items[0].Data));
  items[0].X1 = kFrameLeft;
  items[0].Y1 = kFrameTop;
  items[0].Y2 = items[count - 1].Y1 + 1;
  int width = ContentWidth(rows, items, count);
  items[0].X2 = width + 6;
  if (!Host.Dialog) return -1;
  return Host.Dialog(Host.ModuleNumber, -1, -1, width + 10, items[0].Y2 + 2,
                     helpTopic, items, count);
}
