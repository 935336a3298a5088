#pragma once
// The desktop program's command line: --help and --version answer and end
// the program; everything else names files to open ("--" ends the options,
// so a file's name may begin with "-").

#include <optional>
#include <string>

#include <QStringList>

namespace quillary {

// The text --help or --version asks for (read from the raw arguments, before
// the application, which needs a display, is made); nothing otherwise.
std::optional<std::string> CommandLineAnswer(int argc, const char* const argv[]);

// The files named by the application's arguments (the program's name and
// the windowing system's own options already taken out).
QStringList NamedFiles(const QStringList& arguments);

}  // namespace quillary
