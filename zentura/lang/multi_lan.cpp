#include "zentura/lang/multi_lan.h"

#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/list_view.h"
#include "zentura/sysutil/system_paths.h"

namespace zentura {

using platform::ui::Component;
using platform::ui::Form;
using platform::ui::Kind;

namespace {

Text Num(int n) { return platform::FromUtf8(std::to_string(n)); }

// A memo with this tag shows its text one line down.
constexpr int kMemoBlankFirstLine = 49;

void SetMemoText(Component& c, const Text& text) {
  auto& memo = static_cast<platform::ui::Memo&>(c);
  memo.SetText(text);
  if (memo.Tag() == kMemoBlankFirstLine) memo.InsertLine(0, Text());
}

bool ValidIndex(const TMessageList& messages, int index) {
  return index >= 0 && static_cast<size_t>(index) < messages.size();
}

}  // namespace

Text MessageAt(const TMessageList& messages, int index) {
  return ValidIndex(messages, index) ? messages[static_cast<size_t>(index)] : Text();
}

Text LanguageNameOfCaption(const Text& caption) {
  size_t first = caption.find(u'&');
  if (first == Text::npos) return caption;
  size_t last = caption.rfind(u'&');
  return caption.substr(0, first) + caption.substr(last + 1);
}

// ---------------------------------------------------------------- TMultiLan

void TMultiLan::SetLanguage(const Text& languageName, const Text& fileName) {
  LanguageName = languageName;
  FileName = fileName;
}

void TMultiLan::ApplyToForm(const Text& section, Form& form) {
  const Text file = FileName;
  auto read = [&](const Text& key, const Text& current) {
    return profile_.ReadString(file, section, key, current);
  };
  form.SetCaption(read(u"Caption", form.Caption()));
  for (Component* c : form.Components()) {
    const Text& n = c->Name();
    switch (c->GetKind()) {
      case Kind::Label:
      case Kind::StaticText:
      case Kind::Button:
      case Kind::ToolButton:
        c->SetCaption(read(n + u".Caption", c->Caption()));
        c->SetHint(read(n + u".Hint", c->Hint()));
        break;
      case Kind::Image:
        c->SetHint(read(n + u".Hint", c->Hint()));
        break;
      case Kind::CheckBox:
      case Kind::GroupBox:
      case Kind::RadioButton:
      case Kind::MenuItem:
      case Kind::TabSheet:
        c->SetCaption(read(n + u".Caption", c->Caption()));
        break;
      case Kind::Memo:
        SetMemoText(*c, read(n + u".Text", c->GetText()));
        break;
      case Kind::ListView: {
        auto& list = static_cast<platform::ui::ListView&>(*c);
        for (int i = 0; i < static_cast<int>(list.Columns().size()); ++i) {
          list.SetColumnCaption(
              i, read(n + u".Columns" + Num(i) + u".Caption", list.Columns()[static_cast<size_t>(i)].caption));
        }
        for (int i = 0; i < list.Count(); ++i) {
          list.Item(i).SetCaption(read(n + u".Items" + Num(i) + u".Caption", list.Item(i).Caption()));
        }
        break;
      }
      case Kind::ComboBox: {
        auto& box = static_cast<platform::ui::ItemsControl&>(*c);
        for (int i = 0; i < box.Count(); ++i) {
          box.SetItem(i, read(n + u".Items" + Num(i) + u".Caption", box.Items()[static_cast<size_t>(i)]));
        }
        break;
      }
      case Kind::ListBox: {
        auto& box = static_cast<platform::ui::ItemsControl&>(*c);
        for (int i = 0; i < box.Count(); ++i) {
          box.SetItem(i, read(n + u".Item" + Num(i), box.Items()[static_cast<size_t>(i)]));
        }
        break;
      }
      case Kind::PageControl: {
        auto& pages = static_cast<platform::ui::PageControl&>(*c);
        int count = pages.PageCount();
        for (int i = 0; i < count; ++i) {
          platform::ui::TabSheet* page = pages.Page(i);
          page->SetCaption(read(n + u".Tabsheet" + Num(i + 1) + u".caption", page->Caption()));
        }
        break;
      }
      default:
        break;
    }
  }
}

TMessageList TMultiLan::ReadValues(const Text& file, const Text& section) {
  TMessageList values;
  for (const Text& key : profile_.ReadKeys(file, section)) {
    Text value = profile_.ReadString(file, section, key, Text());
    size_t eq = value.rfind(u'=');
    values.push_back(eq == Text::npos ? value : value.substr(eq + 1));
  }
  return values;
}

TMessageList TMultiLan::ReadSectionList(const Text& section) {
  TMessageList values = ReadValues(FileName, section);
  if (values.empty()) {
    size_t slash = FileName.rfind(u'\\');
    Text folder = slash == Text::npos ? Text() : FileName.substr(0, slash + 1);
    values = ReadValues(folder + LanguageName + u".lng", section);
  }
  return values;
}

Text TMultiLan::ReadIndexed(const Text& section, int index, const Text& defaultValue) {
  TMessageList values = ReadSectionList(section);
  return ValidIndex(values, index) ? values[static_cast<size_t>(index)] : defaultValue;
}

Text TMultiLan::ReadValue(const Text& section, const Text& key) {
  return profile_.ReadString(FileName, section, key, u"Unknown");
}

// ------------------------------------------------------------ TCaptionTable

TCompLan& TCaptionTable::EntryFor(Component& control) {
  for (TCompLan& e : entries_) {
    if (e.form == &control.Owner() && platform::SameText(e.name, control.Name())) return e;
  }
  TCompLan entry;
  entry.form = &control.Owner();
  entry.name = control.Name();
  entries_.push_back(std::move(entry));
  return entries_.back();
}

void TCaptionTable::Bind(Component& control, const TMessageList& messages, int index) {
  EntryFor(control).Index = index;
  // An index the list does not reach leaves the text as it is.
  if (!ValidIndex(messages, index)) return;
  const Text& text = messages[static_cast<size_t>(index)];
  switch (control.GetKind()) {
    case Kind::Label:
    case Kind::StaticText:
    case Kind::Button:
    case Kind::ToolButton:
      control.SetCaption(text);
      control.SetHint(text);
      break;
    case Kind::Image:
      control.SetHint(text);
      break;
    case Kind::CheckBox:
    case Kind::GroupBox:
    case Kind::RadioButton:
    case Kind::MenuItem:
    case Kind::TabSheet:
      control.SetCaption(text);
      break;
    case Kind::Memo:
      SetMemoText(control, text);
      break;
    default:
      break;
  }
}

void TCaptionTable::BindList(Component& control, const TMessageList& messages, const std::vector<int>& indexes) {
  EntryFor(control).Indexes = indexes;
  // Only the columns, items or pages that the array covers with a valid index change.
  auto usable = [&](int i) {
    return static_cast<size_t>(i) < indexes.size() && ValidIndex(messages, indexes[static_cast<size_t>(i)]);
  };
  auto text = [&](int i) { return messages[static_cast<size_t>(indexes[static_cast<size_t>(i)])]; };
  switch (control.GetKind()) {
    case Kind::ListView: {
      auto& list = static_cast<platform::ui::ListView&>(control);
      for (int i = 0; i < static_cast<int>(list.Columns().size()); ++i) {
        if (usable(i)) list.SetColumnCaption(i, text(i));
      }
      break;
    }
    case Kind::ComboBox:
    case Kind::ListBox: {
      auto& box = static_cast<platform::ui::ItemsControl&>(control);
      for (int i = 0; i < box.Count(); ++i) {
        if (usable(i)) box.SetItem(i, text(i));
      }
      break;
    }
    case Kind::PageControl: {
      auto& pages = static_cast<platform::ui::PageControl&>(control);
      int count = pages.PageCount();
      for (int i = 0; i < count; ++i) {
        if (usable(i)) pages.Page(i)->SetCaption(text(i));
      }
      break;
    }
    default:
      break;
  }
}

void TCaptionTable::Reapply(const TMessageList& messages) {
  for (size_t i = 0; i < entries_.size(); ++i) {
    TCompLan entry = entries_[i];
    Component* control = entry.form->Find(entry.name);
    if (!control) continue;
    Bind(*control, messages, entry.Index);
    BindList(*control, messages, entry.Indexes);
  }
}

// ---------------------------------------------------------- LanguageSession

LanguageSession::LanguageSession(platform::Platform& p, platform::Profile& profile, Text programFolder)
    : p_(p), profile_(profile), folder_(std::move(programFolder)) {}

Text LanguageSession::LanguageFile(const Text& name) const {
  return SafeFormat(u"%sLanguage\\%s.lng", {folder_, name});
}

bool LanguageSession::LoadLanguage(Form& mainForm) {
  current_ = profile_.ReadString(SettingsFile(), u"Main", u"Language", Text());
  if (current_.empty()) current_ = u"English";
  Text file = LanguageFile(current_);
  if (!p_.files.FileExists(file)) return false;
  lan_ = std::make_unique<TMultiLan>(profile_, file);
  lan_->ApplyToForm(u"Zentura_Form1", mainForm);
  LoadMessages();
  return true;
}

void LanguageSession::LoadMessages() {
  messages_ = lan_->ReadSectionList(u"Zentura_M_form1");
  if (messages_.size() >= static_cast<size_t>(kMinMessages)) return;
  TMultiLan english(profile_, LanguageFile(u"English"));
  TMessageList fill = english.ReadSectionList(u"Zentura_M_form1");
  for (size_t i = messages_.size(); i < fill.size(); ++i) messages_.push_back(fill[i]);
}

void LanguageSession::SwitchLanguage(const platform::ui::MenuItem& item, Form& mainForm) {
  Text name = LanguageNameOfCaption(item.Caption());
  Text file = LanguageFile(name);
  // Saving the name of a file that is not there would end the next start.
  if (name.empty() || !p_.files.FileExists(file)) return;
  if (!lan_) lan_ = std::make_unique<TMultiLan>(profile_, file);
  lan_->SetLanguage(name, file);
  current_ = name;
  lan_->ApplyToForm(u"Zentura_Form1", mainForm);
  profile_.WriteString(SettingsFile(), u"Main", u"Language", name);
  LoadMessages();
  captions_.Reapply(messages_);
  if (OnLanguageChanged) OnLanguageChanged();
}

void LanguageSession::BuildLanguageMenu(Component& menu, bool busy) {
  if (busy) return;
  Form& form = menu.Owner();
  std::vector<Component*> items = form.Children(&menu);
  for (size_t i = 2; i < items.size(); ++i) form.Remove(items[i]);
  for (const Text& name : ListFiles(p_, folder_ + u"Language\\", u"lng")) {
    auto* item = form.Add<platform::ui::MenuItem>(u"LanguageItem" + Num(++menuSerial_), &menu);
    item->SetCaption(name);
    item->SetChecked(name == current_);
    item->OnClick = [this](Component& sender) {
      SwitchLanguage(static_cast<platform::ui::MenuItem&>(sender), sender.Owner());
    };
  }
}

}  // namespace zentura
