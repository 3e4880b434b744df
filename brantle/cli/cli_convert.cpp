// convert opera: the converter window's Next, with the method and the two
// edits given as options.
#include "brantle/browsers/opera/opera_convert.h"
#include "brantle/cli/cli_app.h"

namespace brantle::cli {

using platform::FromUtf8;
using platform::Text;
using platform::ToUtf8;

namespace {

struct ConvertOptions {
  std::string method, file, oldUser = "Olduser", oldDrive = "D:\\", user, drive;
  bool hasFile = false, hasUser = false, hasDrive = false;
};

// The method's index, from its number or its exact caption; -1 for neither.
int MethodOf(const std::string& value) {
  const std::vector<Text>& methods = ConversionMethods();
  if (!value.empty() && value.size() <= 2 && value.find_first_not_of("0123456789") == std::string::npos) {
    int n = std::stoi(value);
    return n < static_cast<int>(methods.size()) ? n : -1;
  }
  return FindConversionMethod(FromUtf8(value));
}

int Convert(CliContext& context, const ConvertOptions& o) {
  platform::Platform& p = context.host.Get();
  FileHelpers helpers(p);
  // As the window shows them on activation; a failing query ends the run.
  SystemInformation info = ReadSystemInformation(helpers, p);
  context.console.out << "Windows Name: " << ToUtf8(info.windowsName) << "\n"
                      << "Windows Type: " << ToUtf8(info.windowsType) << "\n"
                      << "Windows User: " << ToUtf8(info.windowsUser) << "\n";
  Text file = o.hasFile ? context.host.FromHostPath(o.file) : FindPreferencesFile(helpers, p);
  if (file.empty()) throw Failure{ToUtf8(convert_text::kNotFound)};
  const int method = MethodOf(o.method);
  ConversionValues values;
  values.user = o.hasUser ? FromUtf8(o.user) : helpers.GetLoginName();
  if (o.hasDrive)
    values.drive = platform::ExcludeTrailingBackslash(FromUtf8(o.drive));
  else if (method == kDriveChangeMethod)  // the only method that needs it
    values.drive = helpers.GetSystemDrive();
  values.oldUser = FromUtf8(o.oldUser);
  values.oldDrive = FromUtf8(o.oldDrive);
  ConversionOutcome outcome = ConvertFile(p, file, method, values);
  if (!outcome.saved) throw Failure{ToUtf8(outcome.message)};
  context.console.out << "Converted " << context.host.ToHostPath(file) << "\n";
  return exitcode::kDone;
}

}  // namespace

void RegisterConvertCommands(CLI::App& app, CliContext& context) {
  CLI::App* convert = app.add_subcommand("convert", "Converts a browser's settings as the Convert tab does");
  convert->require_subcommand(1);
  CLI::App* opera = convert->add_subcommand("opera", "Rewrites the paths in Opera's operaprefs.ini")->ignore_case();
  auto o = std::make_shared<ConvertOptions>();
  std::string methods;
  for (size_t i = 0; i < ConversionMethods().size(); ++i)
    methods += "\n  " + std::to_string(i) + ": " + ToUtf8(ConversionMethods()[i]);
  opera->add_option("--method", o->method, "the method, by number or caption:" + methods)
      ->required()
      ->check(CLI::Validator(
          [](std::string& v) { return MethodOf(v) < 0 ? "unknown method: " + v + " (0 to 11, or a caption)" : std::string(); },
          "N"));
  opera->add_option("--file", o->file, "the preferences file (default: the one the search finds)")->check(NonEmptyPath());
  opera->add_option("--old-user", o->oldUser, "the old user name replaced by method 11 (default Olduser)");
  opera->add_option("--old-drive", o->oldDrive, "the old drive replaced by method 10 (default D:\\)");
  opera->add_option("--user", o->user, "the user name to convert for (default: the login name)");
  opera->add_option("--drive", o->drive, "the system drive to convert for, as X: (default: the system's)");
  opera->callback([&context, o, opera] {
    o->hasFile = opera->count("--file") > 0;
    o->hasUser = opera->count("--user") > 0;
    o->hasDrive = opera->count("--drive") > 0;
    context.action = [&context, o] { return Convert(context, *o); };
  });
}

}  // namespace brantle::cli
