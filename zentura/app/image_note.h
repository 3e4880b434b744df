// TImageNote: an image control with a collection of pictures, showing the
// one its index names (used for animations such as the busy indicator).
#pragma once

#include <vector>

#include "platform/ui/controls.h"

namespace zentura {

class TImageNote : public platform::ui::Image {
 public:
  TImageNote(platform::ui::Form& owner, platform::Text name, platform::ui::Component* parent)
      : Image(owner, std::move(name), parent) {}

  // Adds a picture; its name is "Picture_" and its position.
  void AddPicture(platform::ui::Picture picture) {
    names_.push_back(u"Picture_" + platform::ToText(static_cast<long long>(pictures_.size())));
    pictures_.push_back(std::move(picture));
  }
  int Count() const { return static_cast<int>(pictures_.size()); }
  const platform::Text& PictureName(int index) const { return names_.at(static_cast<size_t>(index)); }

  int ImageIndex() const { return index_; }
  // Shows that picture; -1 shows none; an index out of range is ignored.
  // While the form is loading the index is only stored.
  void SetImageIndex(int index) {
    if (index < -1 || index >= Count()) return;
    index_ = index;
    if (!loading_) Apply();
  }
  // The form has finished loading: the stored index takes effect.
  void Loaded() {
    loading_ = false;
    Apply();
  }
  void SetLoading(bool loading) { loading_ = loading; }

 private:
  void Apply() {
    SetPicture(index_ < 0 ? platform::ui::Picture() : pictures_[static_cast<size_t>(index_)]);
  }

  std::vector<platform::ui::Picture> pictures_;
  std::vector<platform::Text> names_;
  int index_ = -1;
  bool loading_ = false;
};

}  // namespace zentura
