// Language files: captions per window read by control name, messages per
// window read by position, and the table of run-time texts of the main window
// that were set from messages, so that a new language can set them again.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/profile.h"
#include "platform/ui/form.h"
#include "platform/ui/menu.h"
#include "zentura/lang/safe_format.h"

namespace zentura {

using TMessageList = std::vector<Text>;

// Message `index`, or empty text for an index outside the list.
Text MessageAt(const TMessageList& messages, int index);

// Fewer messages than this in a language are completed from English.
constexpr int kMinMessages = 40;

class TMultiLan {
 public:
  TMultiLan(platform::Profile& profile, Text fileName)
      : profile_(profile), FileName(std::move(fileName)) {}

  void SetLanguage(const Text& languageName, const Text& fileName);
  // Captions of `section` onto the form and its components in creation
  // order; a missing key keeps the current text.
  void ApplyToForm(const Text& section, platform::ui::Form& form);
  // The section's values in file order (each the text after the line's last
  // "="); when the section yields nothing, the same section of the file
  // LanguageName + ".lng" beside FileName.
  TMessageList ReadSectionList(const Text& section);
  Text ReadIndexed(const Text& section, int index, const Text& defaultValue);
  // "Unknown" when the key is absent.
  Text ReadValue(const Text& section, const Text& key);

  platform::Profile& Profile() const { return profile_; }

 private:
  TMessageList ReadValues(const Text& file, const Text& section);
  platform::Profile& profile_;

 public:
  Text FileName;
  Text LanguageName;
};

struct TCompLan {
  platform::ui::Form* form = nullptr;
  Text name;  // the control is looked up again, so a removed one is skipped
  int Index = 0;
  std::vector<int> Indexes;
};

class TCaptionTable {
 public:
  // Records the control's message index, then sets its text by kind.
  void Bind(platform::ui::Component& control, const TMessageList& messages, int index);
  // Records the indexes of the columns, items or pages, then sets their texts.
  void BindList(platform::ui::Component& control, const TMessageList& messages,
                const std::vector<int>& indexes);
  // Every entry in binding order: Bind with its Index, then BindList with its Indexes.
  void Reapply(const TMessageList& messages);
  const std::vector<TCompLan>& Entries() const { return entries_; }

 private:
  TCompLan& EntryFor(platform::ui::Component& control);
  std::vector<TCompLan> entries_;
};

// The main window's language: the chosen file, its messages, the caption
// table, and the language menu.
class LanguageSession {
 public:
  // `programFolder` ends in a backslash; the settings file is Zentura.ini in it.
  LanguageSession(platform::Platform& p, platform::Profile& profile, Text programFolder);

  // False when the configured language has no file: the program must end.
  bool LoadLanguage(platform::ui::Form& mainForm);
  // Switches to the language named by the item's caption (an "&" removed).
  void SwitchLanguage(const platform::ui::MenuItem& item, platform::ui::Form& mainForm);
  // Fills `menu` after its first two items with one item per language file;
  // left alone while `busy` (a game-mode switch is running).
  void BuildLanguageMenu(platform::ui::Component& menu, bool busy);

  const Text& CurrentLanguage() const { return current_; }
  TMultiLan& Lan() { return *lan_; }
  TCaptionTable& Captions() { return captions_; }
  const TMessageList& Messages() const { return messages_; }
  Text Message(int index) const { return MessageAt(messages_, index); }
  Text Message(int index, const std::vector<FormatArg>& args) const {
    return SafeFormat(Message(index), args);
  }
  Text SettingsFile() const { return folder_ + u"Zentura.ini"; }
  Text LanguageFile(const Text& name) const;

  // Runs after a switch so the window can set its own language-dependent texts.
  std::function<void()> OnLanguageChanged;

 private:
  void LoadMessages();
  platform::Platform& p_;
  platform::Profile& profile_;
  Text folder_;
  Text current_;
  std::unique_ptr<TMultiLan> lan_;
  TCaptionTable captions_;
  TMessageList messages_;
  int menuSerial_ = 0;
};

// The language name a menu caption stands for: the text before the first
// "&" joined to the text after the last one.
Text LanguageNameOfCaption(const Text& caption);

}  // namespace zentura
