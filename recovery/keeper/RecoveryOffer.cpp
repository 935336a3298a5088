#include "recovery/keeper/RecoveryOffer.h"

#include <limits>
#include <new>
#include <optional>
#include <vector>

#include <QDateTime>

#include "commondialog/ErrorGuard.h"
#include "commondialog/MessageBox.h"
#include "platform/FileIO.h"
#include "recovery/RecoveryFolder.h"
#include "sheet/commands/CommandMessages.h"

namespace quillary {

namespace {

const QString kQuestionTitle = QStringLiteral("確認");

QString PathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// Why the file was not offered, and where it now is.
void ReportUnreadable(MessageBox& messageBox, Leftover& leftover, const QString& why) {
  const std::filesystem::path aside = leftover.SetAside();
  const QString where = aside.empty() ? QStringLiteral("控えは次の場所にあります。\n") + PathText(leftover.file())
                                      : QStringLiteral("控えは次の名前で残してあります。\n") + PathText(aside);
  ShowRefusal(messageBox, QStringLiteral("前回保存されなかった変更を復元できませんでした。\n") + why + u'\n' + where);
}

// The leftover read back; on failure the user is told, and nothing is returned.
std::optional<RecoveredSheet> ReadLeftover(MessageBox& messageBox, Leftover& leftover) {
  try {
    return ReadRecovery(ReadFileBytes(leftover.file(), std::numeric_limits<std::uintmax_t>::max()));
  } catch (const RecoveryDamagedError&) {
    ReportUnreadable(messageBox, leftover, QStringLiteral("変更の控えが壊れています。"));
  } catch (const FileError& error) {
    ReportUnreadable(
        messageBox, leftover,
        FileFailureMessage(QStringLiteral("変更の控えを読み込めませんでした。"), PathText(leftover.file()), error));
  } catch (const std::bad_alloc&) {
    // Kept as it is: with more memory free it may read next time.
    ShowOutOfMemory(messageBox);
  }
  return std::nullopt;
}

}  // namespace

QString RecoveryQuestion(const RecoveryInfo& info, int others) {
  const QString name =
      info.fileName.empty() ? QStringLiteral("（名前のないシート）") : QString::fromStdU16String(info.fileName);
  const QString time = QDateTime::fromMSecsSinceEpoch(info.timeMs).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
  QString question =
      QStringLiteral("前回保存されなかった変更があります。復元しますか？\nファイル: %1\n日時: %2").arg(name, time);
  if (others > 0)
    question += QStringLiteral("\n（ほかに %1 件あります。新しいものから順にお尋ねします。）").arg(others);
  return question;
}

bool OfferLeftovers(const std::filesystem::path& folder, const std::filesystem::path& ownFile, MessageBox& messageBox,
                    const std::function<void(RecoveredSheet&)>& restore) {
  std::vector<Leftover> leftovers = Leftover::Find(folder);
  for (std::size_t i = 0; i < leftovers.size(); ++i) {
    Leftover& leftover = leftovers[i];
    std::optional<RecoveredSheet> recovered = ReadLeftover(messageBox, leftover);
    if (!recovered) continue;
    const int others = static_cast<int>(leftovers.size() - i - 1);
    const MsgResult answer = messageBox.Show(RecoveryQuestion(recovered->info, others), MsgButtons::YesNo,
                                             MsgIcon::Information, kQuestionTitle);
    if (answer != MsgResult::Yes) {
      leftover.Remove();
      continue;
    }
    restore(*recovered);
    // Should it not move, this program's own file soon holds the sheet.
    if (!leftover.AdoptAs(ownFile)) leftover.Remove();
    return true;
  }
  return false;
}

}  // namespace quillary
