// The control kinds of both programs' windows, with the properties and
// events their logic reads, writes and handles.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/ui/canvas.h"
#include "platform/ui/component.h"

namespace platform::ui {

// Label, and static text (a label with its own window); captions apply alike.
class Label : public Component {
 public:
  Label(Form& owner, Text name, Component* parent, Kind kind = Kind::Label)
      : Component(owner, kind, std::move(name), parent) {}
  Alignment GetAlignment() const { return alignment_; }
  void SetAlignment(Alignment a);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);

 private:
  Alignment alignment_ = Alignment::Left;
  bool wordWrap_ = false;
};

class StaticText : public Label {
 public:
  StaticText(Form& owner, Text name, Component* parent)
      : Label(owner, std::move(name), parent, Kind::StaticText) {}
};

class Button : public Component {
 public:
  Button(Form& owner, Text name, Component* parent, Kind kind = Kind::Button)
      : Component(owner, kind, std::move(name), parent) {}
  // A modal window ends with this result when the button is clicked.
  ModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(ModalResult r) { modalResult_ = r; }
  bool Default() const { return default_; }
  void SetDefault(bool d);
  void Click() override;

 private:
  ModalResult modalResult_ = ModalResult::None;
  bool default_ = false;
};

class ToolButton : public Button {
 public:
  ToolButton(Form& owner, Text name, Component* parent)
      : Button(owner, std::move(name), parent, Kind::ToolButton) {}
};

// Setting Checked to a new value runs OnClick, from code as from the mouse:
// the windows' "check all" logic is written for exactly that.
class CheckBox : public Component {
 public:
  CheckBox(Form& owner, Text name, Component* parent, Kind kind = Kind::CheckBox)
      : Component(owner, kind, std::move(name), parent) {}
  bool Checked() const { return checked_; }
  virtual void SetChecked(bool checked);
  // The user's click: toggles (a radio button only checks).
  void Click() override;

 protected:
  bool checked_ = false;
};

// Checking one radio button clears the others in the same container.
class RadioButton : public CheckBox {
 public:
  RadioButton(Form& owner, Text name, Component* parent)
      : CheckBox(owner, std::move(name), parent, Kind::RadioButton) {}
  void SetChecked(bool checked) override;
  void Click() override;
};

// Setting the text to a new value runs OnChange.
class Edit : public Component {
 public:
  Edit(Form& owner, Text name, Component* parent, Kind kind = Kind::Edit)
      : Component(owner, kind, std::move(name), parent) {}
  void SetCaption(const Text& text) override;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  Notify OnChange;

 private:
  bool readOnly_ = false;
};

// An edit with a browse button that asks for a folder.
class DirectoryEdit : public Edit {
 public:
  DirectoryEdit(Form& owner, Text name, Component* parent)
      : Edit(owner, std::move(name), parent, Kind::DirectoryEdit) {}
  const Text& DialogCaption() const { return dialogCaption_; }
  void SetDialogCaption(const Text& caption) { dialogCaption_ = caption; }
  // The browse button: the folder dialog, starting at the current text;
  // a chosen folder replaces the text. Returns whether one was chosen.
  bool Browse();

 private:
  Text dialogCaption_;
};

// The shared part of controls that hold a list of texts and a selection.
class ItemsControl : public Component {
 public:
  const std::vector<Text>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  void SetItems(std::vector<Text> items);
  void AddItem(const Text& item);
  void SetItem(int index, const Text& text);
  void DeleteItem(int index);
  void ClearItems();
  // -1 for no selection. Setting it from code runs no event.
  int ItemIndex() const { return itemIndex_; }
  virtual void SetItemIndex(int index);
  // The user's choice of a row: selects it, then runs OnClick.
  virtual void Select(int index);

 protected:
  using Component::Component;

 private:
  std::vector<Text> items_;
  int itemIndex_ = -1;
};

class ComboBox : public ItemsControl {
 public:
  ComboBox(Form& owner, Text name, Component* parent)
      : ItemsControl(owner, Kind::ComboBox, std::move(name), parent) {}
  bool DropDownList() const { return dropDownList_; }
  void SetDropDownList(bool list);
  void SetItemIndex(int index) override;
  // The user's choice: selects, then runs OnChange and OnClick.
  void Select(int index) override;
  Notify OnChange;

 private:
  bool dropDownList_ = true;
};

struct OwnerDrawState {
  bool selected = false;
  bool focused = false;
};
using DrawItemEvent =
    std::function<void(Component& sender, int index, Canvas& canvas, const Rect& rect, OwnerDrawState state)>;

class ListBox : public ItemsControl {
 public:
  ListBox(Form& owner, Text name, Component* parent)
      : ItemsControl(owner, Kind::ListBox, std::move(name), parent) {}
  // Owner drawing with rows of a fixed height: OnDrawItem paints each row.
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool ownerDraw);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int height);
  // Paints row `index` through OnDrawItem, or as plain text without one.
  void DrawItem(int index, Canvas& canvas, const Rect& rect, OwnerDrawState state);
  DrawItemEvent OnDrawItem;

 private:
  bool ownerDraw_ = false;
  int itemHeight_ = 13;
};

// A group box with one radio button per item.
class RadioGroup : public ItemsControl {
 public:
  RadioGroup(Form& owner, Text name, Component* parent)
      : ItemsControl(owner, Kind::RadioGroup, std::move(name), parent) {}
  int Columns() const { return columns_; }
  void SetColumns(int columns);

 private:
  int columns_ = 1;
};

class ProgressBar : public Component {
 public:
  ProgressBar(Form& owner, Text name, Component* parent)
      : Component(owner, Kind::ProgressBar, std::move(name), parent) {}
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  void SetMin(int min) { SetRange(min, max_); }
  void SetMax(int max) { SetRange(min_, max); }
  int Position() const { return position_; }
  // Kept inside Min..Max, as the control does.
  void SetPosition(int position);
  void StepBy(int delta) { SetPosition(position_ + delta); }
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool smooth);
  // A moving block for work of unknown length.
  bool Marquee() const { return marquee_; }
  void SetMarquee(bool marquee);

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  bool smooth_ = false;
  bool marquee_ = false;
};

class Container : public Component {
 public:
  bool IsContainer() const override { return true; }

 protected:
  using Component::Component;
};

class GroupBox : public Container {
 public:
  GroupBox(Form& owner, Text name, Component* parent) : Container(owner, Kind::GroupBox, std::move(name), parent) {}
};

class Panel : public Container {
 public:
  Panel(Form& owner, Text name, Component* parent) : Container(owner, Kind::Panel, std::move(name), parent) {}
};

class PageControl;

// One page of a page control; its parent is the page control.
class TabSheet : public Container {
 public:
  TabSheet(Form& owner, Text name, Component* parent) : Container(owner, Kind::TabSheet, std::move(name), parent) {}
  PageControl& Pages() const;
  int PageIndex() const;
};

class PageControl : public Container {
 public:
  PageControl(Form& owner, Text name, Component* parent)
      : Container(owner, Kind::PageControl, std::move(name), parent) {}
  // The tab sheets, in creation order.
  std::vector<TabSheet*> Pages() const;
  int PageCount() const { return static_cast<int>(Pages().size()); }
  TabSheet* Page(int index) const;
  // The first page until another is chosen; -1 without pages.
  int ActivePageIndex() const;
  TabSheet* ActivePage() const { return Page(ActivePageIndex()); }
  // From code: no event runs.
  void SetActivePageIndex(int index);
  void SetActivePage(TabSheet* page) { SetActivePageIndex(page ? page->PageIndex() : -1); }
  // The user's choice of a tab: OnChanging may refuse, then OnChange runs.
  void SelectPage(int index);
  std::function<void(Component& sender, bool& allow)> OnChanging;
  Notify OnChange;
  // Tabs of one size, so that their places are known (0 by 0: each tab as
  // wide as its caption).
  int TabWidth() const { return tabWidth_; }
  int TabHeight() const { return tabHeight_; }
  void SetTabSize(int width, int height);

 private:
  int active_ = 0;
  int tabWidth_ = 0;
  int tabHeight_ = 0;
};

class Memo : public Component {
 public:
  Memo(Form& owner, Text name, Component* parent) : Component(owner, Kind::Memo, std::move(name), parent) {}
  // Lines are the text split at line breaks (CR LF, or LF alone).
  std::vector<Text> Lines() const;
  void SetLines(const std::vector<Text>& lines);
  void InsertLine(int index, const Text& line);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);

 private:
  bool readOnly_ = false;
  bool wordWrap_ = true;
};

// A read-only rich-edit text with one range shown as a link; a left click
// on it selects the range and calls OnLink with its text.
class RichEditUrl : public Memo {
 public:
  RichEditUrl(Form& owner, Text name, Component* parent) : Memo(owner, std::move(name), parent) {}
  // The link's first character and length (length 0: no link).
  int LinkStart() const { return linkStart_; }
  int LinkLength() const { return linkLength_; }
  void SetLink(int start, int length);
  Text LinkText() const;
  std::function<void(Component& sender, const Text& link)> OnLink;
  // The user's left click on the link.
  void ClickLink();

 private:
  int linkStart_ = 0;
  int linkLength_ = 0;
};

// Pixels, 0xAARRGGBB row by row from the top; or a bitmap resource by name.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  Text resource;
  bool Empty() const { return pixels.empty() && resource.empty(); }
  // A bitmap that the program carries as a resource of that name; 32-bit
  // ones are blended by their alpha onto the control's background.
  static Picture FromResource(Text name) {
    Picture picture;
    picture.resource = std::move(name);
    return picture;
  }
};

class Image : public Component {
 public:
  Image(Form& owner, Text name, Component* parent) : Component(owner, Kind::Image, std::move(name), parent) {}
  const Picture& GetPicture() const { return picture_; }
  void SetPicture(Picture picture);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);

 private:
  Picture picture_;
  bool stretch_ = false;
};

// Fires OnTimer every Interval milliseconds while enabled. It needs no
// window: the Ui runs it.
class Timer : public Component {
 public:
  Timer(Form& owner, Text name, Component* parent);
  ~Timer() override;
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  // One period: runs OnTimer when enabled (the Ui or a test calls it).
  void Tick();
  Notify OnTimer;

 private:
  friend class Form;
  void Started();
  void PropertyChanged(Prop prop) override;
  int interval_ = 1000;
};

}  // namespace platform::ui
