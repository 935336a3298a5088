#pragma once
// What a preview's page may load: pictures and style sheets that are
// regular files in the template's folder or below it, and data: URLs, all
// within sizes that keep the window quick. Whatever a page or a cell names
// beyond that is refused without being opened, and counted.

#include <array>
#include <cstdint>

#include <QHash>
#include <QString>
#include <QVariant>

#include "platform/FileUnderRoot.h"

class QUrl;

namespace quillary {

class PreviewResources {
 public:
  enum class Refusal {
    Outside,     // outside the template's folder, or led out by a link
    Network,     // http, https and the like
    NotRegular,  // a folder, device, pipe or socket
    TooLarge,    // over the limit of one file, or of the page's files
    Unreadable,  // missing, not readable, not a picture
  };
  static constexpr int kRefusals = 5;

  struct Limits {
    std::uintmax_t fileBytes = std::uintmax_t{16} << 20;
    std::uintmax_t pageBytes = std::uintmax_t{64} << 20;
    // Pictures decoded, all of the page's together, and the longer side of
    // one.
    qint64 pagePixels = qint64{48} << 20;
    int pictureSide = 10'000;
  };

  PreviewResources(QString folder, Limits limits);
  explicit PreviewResources(QString folder) : PreviewResources(std::move(folder), Limits()) {}

  // A picture (QPixmap) or a style sheet (QString); never a null variant,
  // so that no loader after this one tries the name: what is refused, or
  // missing, is an empty byte array. A name asked for again gets what it
  // got the first time, and is counted once.
  QVariant Load(int type, const QUrl& name);

  int Refused(Refusal refusal) const { return refused_[static_cast<std::size_t>(refusal)]; }
  int RefusedInAll() const;

 private:
  QVariant Read(int type, const QUrl& name);
  QVariant Refuse(Refusal refusal);
  QVariant Picture(const QByteArray& bytes);

  QString folder_;
  Limits limits_;
  std::uintmax_t bytes_ = 0;
  qint64 pixels_ = 0;
  std::array<int, kRefusals> refused_{};
  QHash<QString, QVariant> loaded_;
};

// Why a file ReadFileUnder would not read is refused.
PreviewResources::Refusal RefusalOf(UnderRootProblem problem);

}  // namespace quillary
