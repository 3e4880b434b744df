#include "platform/ui/controls.h"

#include <algorithm>

#include "platform/ui/form.h"
#include "platform/ui/ui.h"

namespace platform::ui {

void Label::SetAlignment(Alignment a) {
  if (alignment_ == a) return;
  alignment_ = a;
  Changed(Prop::Style);
}

void Label::SetWordWrap(bool wrap) {
  if (wordWrap_ == wrap) return;
  wordWrap_ = wrap;
  Changed(Prop::Style);
}

void Button::SetDefault(bool d) {
  if (default_ == d) return;
  default_ = d;
  Changed(Prop::Style);
}

void Button::Click() {
  if (!Enabled()) return;
  Component::Click();
  if (modalResult_ != ModalResult::None) Owner().SetModalResult(modalResult_);
}

void CheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Changed(Prop::Checked);
  Component::Click();
}

void CheckBox::Click() {
  if (Enabled()) SetChecked(!checked_);
}

void RadioButton::SetChecked(bool checked) {
  if (checked_ == checked) return;
  if (checked) {
    for (Component* c : Owner().Children(Parent())) {
      if (c != this && c->GetKind() == Kind::RadioButton) static_cast<RadioButton*>(c)->SetChecked(false);
    }
  }
  CheckBox::SetChecked(checked);
}

void RadioButton::Click() {
  if (Enabled()) SetChecked(true);
}

void Edit::SetCaption(const Text& text) {
  if (text == GetText()) return;
  Component::SetCaption(text);
  if (OnChange) OnChange(*this);
}

void Edit::SetReadOnly(bool readOnly) {
  if (readOnly_ == readOnly) return;
  readOnly_ = readOnly;
  Changed(Prop::Style);
}

bool DirectoryEdit::Browse() {
  Text folder = GetText();
  if (!Owner().GetUi().SelectDirectory(dialogCaption_, &folder)) return false;
  SetText(folder);
  return true;
}

void ItemsControl::SetItems(std::vector<Text> items) {
  items_ = std::move(items);
  if (itemIndex_ >= Count()) itemIndex_ = -1;
  Changed(Prop::Items);
}

void ItemsControl::AddItem(const Text& item) {
  items_.push_back(item);
  Changed(Prop::Items);
}

void ItemsControl::SetItem(int index, const Text& text) {
  items_.at(static_cast<size_t>(index)) = text;
  Changed(Prop::Items, index);
}

void ItemsControl::DeleteItem(int index) {
  items_.erase(items_.begin() + index);
  if (itemIndex_ >= Count()) itemIndex_ = -1;
  Changed(Prop::Items);
}

void ItemsControl::ClearItems() {
  items_.clear();
  itemIndex_ = -1;
  Changed(Prop::Items);
}

void ItemsControl::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  if (itemIndex_ == index) return;
  itemIndex_ = index;
  Changed(Prop::ItemIndex);
}

void ItemsControl::Select(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
  Click();
}

void ComboBox::SetDropDownList(bool list) {
  if (dropDownList_ == list) return;
  dropDownList_ = list;
  Changed(Prop::Style);
}

void ComboBox::SetItemIndex(int index) {
  ItemsControl::SetItemIndex(index);
  if (ItemIndex() >= 0) Component::SetCaption(Items()[static_cast<size_t>(ItemIndex())]);
}

void ComboBox::Select(int index) {
  if (!Enabled()) return;
  SetItemIndex(index);
  if (OnChange) OnChange(*this);
  Click();
}

void ListBox::SetOwnerDraw(bool ownerDraw) {
  if (ownerDraw_ == ownerDraw) return;
  ownerDraw_ = ownerDraw;
  Changed(Prop::Style);
}

void ListBox::SetItemHeight(int height) {
  if (itemHeight_ == height) return;
  itemHeight_ = height;
  Changed(Prop::Style);
}

void ListBox::DrawItem(int index, Canvas& canvas, const Rect& rect, OwnerDrawState state) {
  if (ownerDraw_ && OnDrawItem) {
    OnDrawItem(*this, index, canvas, rect, state);
    return;
  }
  canvas.SetBrushColor(state.selected ? 0x6A240A : kWhite);
  canvas.SetTextColor(state.selected ? kWhite : kBlack);
  canvas.FillRect(rect);
  if (index >= 0 && index < Count()) canvas.TextOut(rect.left + 2, rect.top + 1, Items()[static_cast<size_t>(index)]);
}

void RadioGroup::SetColumns(int columns) {
  if (columns_ == columns) return;
  columns_ = std::max(1, columns);
  Changed(Prop::Style);
}

void ProgressBar::SetRange(int min, int max) {
  if (min_ == min && max_ == max) return;
  min_ = min;
  max_ = std::max(min, max);
  Changed(Prop::Range);
  SetPosition(position_);
}

void ProgressBar::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position_ == position) return;
  position_ = position;
  Changed(Prop::Position);
}

void ProgressBar::SetSmooth(bool smooth) {
  if (smooth_ == smooth) return;
  smooth_ = smooth;
  Changed(Prop::Style);
}

void ProgressBar::SetMarquee(bool marquee) {
  if (marquee_ == marquee) return;
  marquee_ = marquee;
  Changed(Prop::Style);
}

PageControl& TabSheet::Pages() const { return *static_cast<PageControl*>(Parent()); }

int TabSheet::PageIndex() const {
  auto pages = Pages().Pages();
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

std::vector<TabSheet*> PageControl::Pages() const {
  std::vector<TabSheet*> pages;
  for (Component* c : Owner().Children(this)) {
    if (c->GetKind() == Kind::TabSheet) pages.push_back(static_cast<TabSheet*>(c));
  }
  return pages;
}

void PageControl::SetTabSize(int width, int height) {
  if (width == tabWidth_ && height == tabHeight_) return;
  tabWidth_ = width;
  tabHeight_ = height;
  Changed(Prop::TabSize);
}

TabSheet* PageControl::Page(int index) const {
  auto pages = Pages();
  if (index < 0 || index >= static_cast<int>(pages.size())) return nullptr;
  return pages[static_cast<size_t>(index)];
}

int PageControl::ActivePageIndex() const {
  int count = PageCount();
  if (count == 0) return -1;
  return std::min(active_, count - 1);
}

void PageControl::SetActivePageIndex(int index) {
  if (index < 0 || index >= PageCount() || index == ActivePageIndex()) return;
  active_ = index;
  Changed(Prop::ActivePage);
}

void PageControl::SelectPage(int index) {
  if (index == ActivePageIndex() || !Enabled()) return;
  bool allow = true;
  if (OnChanging) OnChanging(*this, allow);
  if (!allow) {
    Changed(Prop::ActivePage);  // the tab strip goes back to the page shown
    return;
  }
  SetActivePageIndex(index);
  if (OnChange) OnChange(*this);
}

std::vector<Text> Memo::Lines() const {
  std::vector<Text> lines;
  const Text& text = GetText();
  if (text.empty()) return lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == Text::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    size_t stop = (end > start && text[end - 1] == u'\r') ? end - 1 : end;
    lines.push_back(text.substr(start, stop - start));
    start = end + 1;
  }
  return lines;
}

void Memo::SetLines(const std::vector<Text>& lines) {
  Text text;
  for (const Text& line : lines) {
    text += line;
    text += u"\r\n";
  }
  SetText(text);
}

void Memo::InsertLine(int index, const Text& line) {
  auto lines = Lines();
  index = std::clamp(index, 0, static_cast<int>(lines.size()));
  lines.insert(lines.begin() + index, line);
  SetLines(lines);
}

void Memo::SetReadOnly(bool readOnly) {
  if (readOnly_ == readOnly) return;
  readOnly_ = readOnly;
  Changed(Prop::Style);
}

void Memo::SetWordWrap(bool wrap) {
  if (wordWrap_ == wrap) return;
  wordWrap_ = wrap;
  Changed(Prop::Style);
}

void Image::SetPicture(Picture picture) {
  picture_ = std::move(picture);
  Changed(Prop::Picture);
}

void Image::SetStretch(bool stretch) {
  if (stretch_ == stretch) return;
  stretch_ = stretch;
  Changed(Prop::Picture);
}

Timer::Timer(Form& owner, Text name, Component* parent)
    : Component(owner, Kind::Timer, std::move(name), parent) {}

Timer::~Timer() { Owner().GetUi().TimerRemoved(*this); }

void Timer::Started() { Owner().GetUi().TimerChanged(*this); }

void Timer::SetInterval(int milliseconds) {
  if (interval_ == milliseconds) return;
  interval_ = milliseconds;
  Changed(Prop::Interval);
}

void Timer::PropertyChanged(Prop prop) {
  if (prop == Prop::Enabled || prop == Prop::Interval) Owner().GetUi().TimerChanged(*this);
}

void Timer::Tick() {
  if (Enabled() && interval_ > 0 && OnTimer) OnTimer(*this);
}


void RichEditUrl::SetLink(int start, int length) {
  linkStart_ = start;
  linkLength_ = length;
  Changed(Prop::Style);
}

Text RichEditUrl::LinkText() const {
  const Text& text = Caption();
  if (linkLength_ <= 0 || linkStart_ < 0 || static_cast<size_t>(linkStart_) >= text.size()) return Text();
  return text.substr(static_cast<size_t>(linkStart_), static_cast<size_t>(linkLength_));
}

void RichEditUrl::ClickLink() {
  if (linkLength_ > 0 && OnLink) OnLink(*this, LinkText());
}

}  // namespace platform::ui
