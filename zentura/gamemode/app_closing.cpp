#include "zentura/gamemode/app_closing.h"

#include "zentura/gamemode/command_line.h"
#include "zentura/gamemode/user_processes.h"
#include "zentura/sysutil/process_routines.h"

namespace zentura {

namespace {

const Text kCheckedApps = u"CheckedApps";
const Text kApps = u"Apps";

void CloseRemembered(AppClosingContext& ctx, std::vector<Text>* closedApps) {
  for (const Text& key : ctx.settings.ReadSection(kCheckedApps)) {
    if (ctx.settings.ReadInteger(kCheckedApps, key, 0) != 1) continue;
    if (!IsProcessRunning(ctx.sp, key)) continue;
    Text path = RunningProcessPath(ctx.sp, key);
    // Without a path there is nothing to relaunch or to record as a key.
    if (KillProcessByName(ctx.sp, key) && !path.empty()) ctx.record.WriteString(kApps, path, Text());
    closedApps->push_back(path);
  }
}

// Returns how many rows were checked.
size_t CloseCheckedRows(AppClosingContext& ctx, std::vector<Text>* closedApps) {
  FileExistsFn exists = [&ctx](const Text& path) { return ctx.p.files.FileExists(path); };
  size_t checked = 0;
  for (size_t row = 0; row < ctx.chooser.RowCount(); ++row) {
    if (!ctx.chooser.RowChecked(row)) continue;
    ++checked;
    Text entry = ctx.chooser.RowCommandLine(row);
    Text program = ProgramNameOf(entry, exists);
    // A checked program that does not run is left alone, as with "Remember".
    if (!IsProcessRunning(ctx.sp, program)) continue;
    if (KillProcessByName(ctx.sp, program)) ctx.record.WriteString(kApps, entry, Text());
    closedApps->push_back(entry);
  }
  return checked;
}

}  // namespace

void CloseChosenApplications(AppClosingContext& ctx, std::vector<Text>* closedApps) {
  closedApps->clear();
  EnableDebugPrivilege(ctx.p);
  size_t checkedRows = 0;
  if (ctx.chooser.RememberChecked()) {
    CloseRemembered(ctx, closedApps);
  } else {
    checkedRows = CloseCheckedRows(ctx, closedApps);
  }
  if (checkedRows > 0 || !ctx.chooser.OnScreen()) {
    ctx.sp.desktop.DeleteAtReboot(ctx.record.FileName());
    RefreshTrayIcons(ctx.sp);
    ctx.chooser.Close();
  } else {
    ctx.chooser.ShowInformation(ctx.message18 + u"\n\r" + ctx.message19);
  }
}

void RefreshTrayIcons(platform::SystemPlatform& sp) {
  auto toolbar = sp.desktop.FindTrayToolbar();
  int width = 0, height = 0;
  if (!toolbar || !toolbar->ClientSize(&width, &height)) return;
  int w = 0, h = 0;
  sp.desktop.SmallIconSize(&w, &h);
  if (w <= 0 || h <= 0) return;
  for (int pass = 0; pass < 6; ++pass) {
    for (int r = height / h - 1; r >= 0; --r) {
      for (int c = width / w - 1; c >= 0; --c) toolbar->MouseMove(c * w + w / 2, r * h + h / 2);
    }
  }
}

}  // namespace zentura
