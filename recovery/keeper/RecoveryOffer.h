#pragma once
// At start-up: the recovery files that programs no longer running left
// behind are offered back, newest first, one question each, over the main
// window. Yes brings the sheet back and ends the questions (any others wait
// for the next start); No removes the file and goes on to the next. A file
// that does not read back is reported and renamed FILE.damaged; it never
// keeps the program from starting.

#include <filesystem>
#include <functional>

#include <QString>

#include "recovery/RecoveryFormat.h"

namespace quillary {

class MessageBox;

// "前回保存されなかった変更があります。復元しますか？", then the file's name
// (or "（名前のないシート）") and the time of the last change; a note when
// `others` more are waiting.
QString RecoveryQuestion(const RecoveryInfo& info, int others);

// restore puts the sheet in the window. The restored file becomes ownFile,
// this program's own recovery file, so that it stays kept until this
// program writes its own. True when a sheet was restored.
bool OfferLeftovers(const std::filesystem::path& folder, const std::filesystem::path& ownFile, MessageBox& messageBox,
                    const std::function<void(RecoveredSheet&)>& restore);

}  // namespace quillary
