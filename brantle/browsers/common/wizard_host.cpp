#include "brantle/browsers/common/wizard_host.h"

namespace brantle {

using platform::ToUtf8;

void HeadlessWizardHost::ShowMessage(const Text& text) {
  messages.push_back(text);
  log.push_back("message: " + ToUtf8(text));
}

void HeadlessWizardHost::ShowReport(const Text& text) {
  ShowMessage(text);
  reports.push_back(text);
}

void HeadlessWizardHost::ProgressShow() {
  progressVisible = true;
  progress = 0;
  progressSteps.clear();
  log.push_back("progress show");
}

void HeadlessWizardHost::ProgressAdvance(int step) {
  progress += step;
  progressSteps.push_back(step);
}

void HeadlessWizardHost::ProgressSet(int position) {
  progress = position;
  log.push_back("progress " + std::to_string(position));
}

void HeadlessWizardHost::ProgressHide() {
  progressVisible = false;
  log.push_back("progress hide");
}

void HeadlessWizardHost::Repaint() { ++repaints; }

void HeadlessWizardHost::BusyCursor(bool on) {
  busy = on;
  log.push_back(on ? "cursor busy" : "cursor normal");
}

void HeadlessWizardHost::SetHeader(const Text& text) {
  header = text;
  log.push_back("header: " + ToUtf8(text));
}

void HeadlessWizardHost::EmptyProfileList() {
  profileListEmptied = true;
  log.push_back("profile list emptied");
}

void HeadlessWizardHost::SetBar(int position, int max) {
  barPosition = position;
  barMax = max;
}

void HeadlessWizardHost::SetFileLabel(const Text& text) { fileLabel = text; }

void HeadlessWizardHost::ShowFinish() {
  finishShown = true;
  log.push_back("finish");
}

void HeadlessWizardHost::UntickItem(int checkBox) {
  unticked.push_back(checkBox);
  log.push_back("untick " + std::to_string(checkBox));
}

void HeadlessWizardHost::AskFolderName() {
  folderNameAsked = true;
  log.push_back("folder name asked");
}

}  // namespace brantle
