#include "platform/ui/list_view.h"

#include <algorithm>

namespace platform::ui {

int ListItem::Index() const {
  for (int i = 0; i < owner_.Count(); ++i) {
    if (&owner_.Item(i) == this) return i;
  }
  return -1;
}

void ListItem::Changed() { owner_.ItemChanged(*this); }

void ListItem::SetCaption(const Text& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  Changed();
}

Text ListItem::SubItem(int index) const {
  if (index < 0 || index >= static_cast<int>(subItems_.size())) return Text();
  return subItems_[static_cast<size_t>(index)];
}

void ListItem::SetSubItem(int index, const Text& text) {
  if (index < 0) return;
  if (static_cast<size_t>(index) >= subItems_.size()) subItems_.resize(static_cast<size_t>(index) + 1);
  if (subItems_[static_cast<size_t>(index)] == text) return;
  subItems_[static_cast<size_t>(index)] = text;
  Changed();
}

void ListItem::AddSubItem(const Text& text) {
  subItems_.push_back(text);
  Changed();
}

void ListItem::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed();
}

void ListItem::SetImageIndex(int index) {
  if (imageIndex_ == index) return;
  imageIndex_ = index;
  Changed();
}

ListColumn& ListView::AddColumn(const Text& caption, int width) {
  ListColumn column;
  column.caption = caption;
  column.width = width;
  columns_.push_back(column);
  Changed(Prop::Columns);
  return columns_.back();
}

void ListView::SetColumn(int index, const ListColumn& column) {
  columns_.at(static_cast<size_t>(index)) = column;
  Changed(Prop::Columns, index);
}

void ListView::SetColumnCaption(int index, const Text& caption) {
  ListColumn column = columns_.at(static_cast<size_t>(index));
  column.caption = caption;
  SetColumn(index, column);
}

void ListView::ClearColumns() {
  columns_.clear();
  Changed(Prop::Columns);
}

ListItem& ListView::AddItem(const Text& caption) {
  items_.push_back(std::unique_ptr<ListItem>(new ListItem(*this)));
  items_.back()->caption_ = caption;
  Changed(Prop::ListItems);
  return *items_.back();
}

void ListView::DeleteItem(int index) {
  items_.erase(items_.begin() + index);
  if (itemIndex_ >= Count()) itemIndex_ = -1;
  Changed(Prop::ListItems);
}

void ListView::ClearItems() {
  items_.clear();
  itemIndex_ = -1;
  Changed(Prop::ListItems);
}

void ListView::ItemChanged(const ListItem& item) { Changed(Prop::ListItem, item.Index()); }

void ListView::SetCheckboxes(bool on) {
  if (checkboxes_ == on) return;
  checkboxes_ = on;
  Changed(Prop::Style);
}

void ListView::SetGridLines(bool on) {
  if (gridLines_ == on) return;
  gridLines_ = on;
  Changed(Prop::Style);
}

void ListView::SetRowSelect(bool on) {
  if (rowSelect_ == on) return;
  rowSelect_ = on;
  Changed(Prop::Style);
}

void ListView::SetReadOnly(bool on) {
  if (readOnly_ == on) return;
  readOnly_ = on;
  Changed(Prop::Style);
}

void ListView::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  if (itemIndex_ == index) return;
  itemIndex_ = index;
  Changed(Prop::ItemIndex);
  if (OnSelectItem) OnSelectItem(*this);
}

int ListView::AddSmallIcon(uintptr_t icon) {
  smallIcons_.push_back(icon);
  Changed(Prop::Picture);
  return static_cast<int>(smallIcons_.size()) - 1;
}

void ListView::ClearSmallIcons() {
  smallIcons_.clear();
  Changed(Prop::Picture);
}

int ListView::AddLargeIcon(uintptr_t icon) {
  largeIcons_.push_back(icon);
  Changed(Prop::Picture, static_cast<int>(largeIcons_.size()) - 1);
  return static_cast<int>(largeIcons_.size()) - 1;
}

void ListView::ClearLargeIcons() {
  largeIcons_.clear();
  Changed(Prop::Picture);
}

void ListView::SetIconView(bool on) {
  if (iconView_ == on) return;
  iconView_ = on;
  Changed(Prop::Style);
}

void ListView::Sort() {
  if (!OnCompare) return;
  std::stable_sort(items_.begin(), items_.end(), [this](const auto& a, const auto& b) {
    int compare = 0;
    OnCompare(*this, *a, *b, compare);
    return compare < 0;
  });
  Changed(Prop::ListItems);
}

void ListView::MakeVisible(int index) { Changed(Prop::ScrollTo, index); }

void ListView::BeginUpdate() {
  if (updateDepth_++ == 0) Changed(Prop::Redraw);
}

void ListView::EndUpdate() {
  if (updateDepth_ > 0 && --updateDepth_ == 0) Changed(Prop::Redraw);
}

int ListView::HeaderHeight() const {
  if (auto* peer = dynamic_cast<ListViewPeer*>(Peer())) return peer->HeaderHeight();
  return headerHeightHint_;
}

ItemDrawStyle ListView::DrawStyle(int index) {
  ItemDrawStyle style;
  if (OnCustomDrawItem && index >= 0 && index < Count()) OnCustomDrawItem(*this, Item(index), style);
  return style;
}

void ListView::ColumnClick(int column) {
  if (OnColumnClick) OnColumnClick(*this, column);
}

void ListView::ToggleCheckByUser(int index) {
  if (!checkboxes_ || index < 0 || index >= Count()) return;
  ListItem& item = Item(index);
  item.SetChecked(!item.Checked());
  if (OnItemChecked) OnItemChecked(*this, item);
}

}  // namespace platform::ui
