#include "app/CommandLine.h"

#include <string_view>

#include "quillary/Version.h"

namespace quillary {

namespace {

constexpr std::string_view kEndOfOptions = "--";

constexpr char kUsage[] =
    "使い方: quillary [ファイル.csv]\n"
    "CSV ファイルの表を編集し、定型ファイルから HTML などを作ります。\n"
    "ファイルを指定すると、そのファイルを開いて始まります。\n"
    "\n"
    "Usage: quillary [FILE.csv]\n"
    "Edits the table of a CSV file and makes HTML or other text from a template.\n"
    "A file given is opened at start.\n"
    "\n"
    "  --help     この説明を表示して終わります / show this help and exit\n"
    "  --version  バージョンを表示して終わります / show the version and exit\n"
    "  --         以降はすべてファイル名 / everything after it is a file name\n";

}  // namespace

std::optional<std::string> CommandLineAnswer(int argc, const char* const argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == kEndOfOptions) break;
    if (argument == "--help" || argument == "-h") return std::string(kUsage);
    if (argument == "--version") return (std::string("quillary ") += kVersionNumber) += '\n';
  }
  return std::nullopt;
}

QStringList NamedFiles(const QStringList& arguments) {
  QStringList files = arguments.mid(1);
  const qsizetype end = files.indexOf(QString::fromLatin1(kEndOfOptions.data(), kEndOfOptions.size()));
  if (end >= 0) files.removeAt(end);
  return files;
}

}  // namespace quillary
