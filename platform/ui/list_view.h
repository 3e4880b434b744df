// The report-style list view: columns, rows with sub-items, check boxes,
// small icons, sorting through OnCompare and per-row drawing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/component.h"

namespace platform::ui {

class ListView;

struct ListColumn {
  Text caption;
  int width = 50;
  int minWidth = 0;
  int maxWidth = 0;  // 0: no limit
  Alignment alignment = Alignment::Left;
  bool autoSize = false;
};

class ListItem {
 public:
  ListItem(const ListItem&) = delete;
  ListItem& operator=(const ListItem&) = delete;

  ListView& Owner() const { return owner_; }
  int Index() const;

  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& caption);
  // Column i + 1 is sub-item i.
  const std::vector<Text>& SubItems() const { return subItems_; }
  // Empty when the row has no such sub-item.
  Text SubItem(int index) const;
  void SetSubItem(int index, const Text& text);
  void AddSubItem(const Text& text);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  intptr_t Data() const { return data_; }
  void SetData(intptr_t data) { data_ = data; }

 private:
  friend class ListView;
  explicit ListItem(ListView& owner) : owner_(owner) {}
  void Changed();

  ListView& owner_;
  Text caption_;
  std::vector<Text> subItems_;
  bool checked_ = false;
  int imageIndex_ = -1;
  intptr_t data_ = 0;
};

// How one row is drawn; handlers of OnCustomDrawItem change it.
struct ItemDrawStyle {
  bool bold = false;
  Color textColor = kDefaultColor;
  Color backColor = kDefaultColor;
};

class ListView : public Component {
 public:
  ListView(Form& owner, Text name, Component* parent)
      : Component(owner, Kind::ListView, std::move(name), parent) {}

  const std::vector<ListColumn>& Columns() const { return columns_; }
  ListColumn& AddColumn(const Text& caption, int width);
  void SetColumn(int index, const ListColumn& column);
  void SetColumnCaption(int index, const Text& caption);
  void ClearColumns();

  int Count() const { return static_cast<int>(items_.size()); }
  ListItem& Item(int index) const { return *items_.at(static_cast<size_t>(index)); }
  ListItem& AddItem(const Text& caption = Text());
  void DeleteItem(int index);
  void ClearItems();

  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool on);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool on);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool on);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);

  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);

  // Small icons (icon handles the caller owns until cleared); rows refer to
  // them by ImageIndex.
  const std::vector<uintptr_t>& SmallIcons() const { return smallIcons_; }
  int AddSmallIcon(uintptr_t icon);
  void ClearSmallIcons();
  // Large icons (32x32) for the icon view; the list copies each icon when
  // realised, so the caller may destroy it once added.
  const std::vector<uintptr_t>& LargeIcons() const { return largeIcons_; }
  int AddLargeIcon(uintptr_t icon);
  void ClearLargeIcons();
  // Large icons with captions below instead of report rows.
  bool IconView() const { return iconView_; }
  void SetIconView(bool on);

  // Sorts the rows with OnCompare (a stable sort; rows without a handler
  // compare equal).
  void Sort();
  // Scrolls the row into view.
  void MakeVisible(int index);
  // Suspends repainting while rows are rebuilt; pairs nest.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updateDepth_ > 0; }

  // The height of the column header, -1 when the list has none. A realised
  // list asks its window; otherwise HeaderHeightHint answers.
  int HeaderHeight() const;
  void SetHeaderHeightHint(int height) { headerHeightHint_ = height; }

  // The style of row `index` after OnCustomDrawItem (the realisation asks
  // this for every row it paints).
  ItemDrawStyle DrawStyle(int index);

  // The user's actions.
  void ColumnClick(int column);
  // A click on a row's check box toggles it (the realisation reports it).
  void ToggleCheckByUser(int index);

  std::function<void(Component& sender, ListItem& a, ListItem& b, int& compare)> OnCompare;
  std::function<void(Component& sender, int column)> OnColumnClick;
  std::function<void(Component& sender, ListItem& item, ItemDrawStyle& style)> OnCustomDrawItem;
  std::function<void(Component& sender, ListItem& item)> OnItemChecked;
  Notify OnSelectItem;
  // The pointer moved over the list (event.item: the row under it).
  MouseNotify OnMouseMove;
  void MouseMove(const MouseEvent& event) {
    if (OnMouseMove) OnMouseMove(*this, event);
  }

 private:
  friend class ListItem;
  void ItemChanged(const ListItem& item);

  std::vector<ListColumn> columns_;
  std::vector<std::unique_ptr<ListItem>> items_;
  std::vector<uintptr_t> smallIcons_;
  std::vector<uintptr_t> largeIcons_;
  bool iconView_ = false;
  bool checkboxes_ = false;
  bool gridLines_ = false;
  bool rowSelect_ = false;
  bool readOnly_ = false;
  int itemIndex_ = -1;
  int updateDepth_ = 0;
  int headerHeightHint_ = 17;
};

// A realised list view answers the header height itself.
class ListViewPeer : public ComponentPeer {
 public:
  virtual int HeaderHeight() = 0;
};

}  // namespace platform::ui
