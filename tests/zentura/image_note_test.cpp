#include "zentura/app/image_note.h"

#include <gtest/gtest.h>

#include "platform/ui/headless_ui.h"

namespace zentura {
namespace {

using namespace platform::ui;

Picture Dot(uint32_t color) { return Picture{1, 1, {color}, {}}; }

TEST(ImageNote, IndexShowsItsPictureAndIgnoresWhatIsOutOfRange) {
  HeadlessUi ui;
  Form form(ui, u"TTest");
  auto* note = form.Add<TImageNote>(u"Image2");
  note->SetLoading(true);
  note->AddPicture(Dot(1));
  note->AddPicture(Dot(2));
  EXPECT_EQ(note->PictureName(1), u"Picture_1");
  note->SetImageIndex(1);  // stored only while loading
  EXPECT_TRUE(note->GetPicture().Empty());
  note->Loaded();
  EXPECT_EQ(note->GetPicture().pixels, std::vector<uint32_t>{2});
  note->SetImageIndex(5);
  note->SetImageIndex(-2);
  EXPECT_EQ(note->ImageIndex(), 1);
  note->SetImageIndex(0);
  EXPECT_EQ(note->GetPicture().pixels, std::vector<uint32_t>{1});
  note->SetImageIndex(-1);
  EXPECT_TRUE(note->GetPicture().Empty());
}

}  // namespace
}  // namespace zentura
