#include "convert/preview/PreviewResources.h"

#include <algorithm>
#include <numeric>

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <QTextDocument>
#include <QUrl>

#include "platform/FileIO.h"
#include "platform/FileUnderRoot.h"

namespace quillary {

namespace {

using Refusal = PreviewResources::Refusal;

bool IsNetwork(const QUrl& name) {
  static const QStringList kSchemes{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("ftp"),
                                    QStringLiteral("ftps"), QStringLiteral("ws"),    QStringLiteral("wss")};
  return kSchemes.contains(name.scheme(), Qt::CaseInsensitive) || (name.scheme().isEmpty() && !name.host().isEmpty());
}

// "data:[type][;base64],payload"; false when it is not one.
bool DecodeData(const QUrl& name, QByteArray& bytes) {
  const QByteArray text = name.toEncoded();
  const qsizetype comma = text.indexOf(',');
  if (comma < 0) return false;
  const QByteArray payload = QByteArray::fromPercentEncoding(text.sliced(comma + 1));
  bytes = text.first(comma).endsWith(";base64") ? QByteArray::fromBase64(payload) : payload;
  return true;
}

}  // namespace

Refusal RefusalOf(UnderRootProblem problem) {
  switch (problem) {
    case UnderRootProblem::Outside: return Refusal::Outside;
    case UnderRootProblem::NotRegular: return Refusal::NotRegular;
    case UnderRootProblem::TooLarge: return Refusal::TooLarge;
    case UnderRootProblem::NotFound:
    case UnderRootProblem::Unreadable: break;
  }
  return Refusal::Unreadable;
}

PreviewResources::PreviewResources(QString folder, Limits limits) : folder_(std::move(folder)), limits_(limits) {}

QVariant PreviewResources::Load(int type, const QUrl& name) {
  const QString key = QString::number(type) + u' ' + name.toString(QUrl::FullyEncoded);
  if (const auto found = loaded_.constFind(key); found != loaded_.cend()) return *found;
  return *loaded_.insert(key, Read(type, name));
}

QVariant PreviewResources::Read(int type, const QUrl& name) {
  QByteArray bytes;
  const std::uintmax_t room = std::min(limits_.fileBytes, limits_.pageBytes - bytes_);
  if (name.scheme().compare(QLatin1StringView("data"), Qt::CaseInsensitive) == 0) {
    if (!DecodeData(name, bytes)) return Refuse(Refusal::Unreadable);
    if (static_cast<std::uintmax_t>(bytes.size()) > room) return Refuse(Refusal::TooLarge);
  } else if (IsNetwork(name)) {
    return Refuse(Refusal::Network);
  } else if (name.scheme().isEmpty() || name.isLocalFile()) {
    const QString path = name.isLocalFile() ? name.toLocalFile() : name.path(QUrl::FullyDecoded);
    if (path.isEmpty()) return Refuse(Refusal::Unreadable);
    try {
      const std::string read =
          ReadFileUnder(PathFromText(folder_.toStdU16String()), PathFromText(path.toStdU16String()), room);
      bytes = QByteArray(read.data(), static_cast<qsizetype>(read.size()));
    } catch (const UnderRootError& error) {
      return Refuse(RefusalOf(error.problem()));
    }
  } else {
    return Refuse(Refusal::Outside);  // a scheme of the system's own
  }
  bytes_ += static_cast<std::uintmax_t>(bytes.size());
  if (type == QTextDocument::ImageResource) return Picture(bytes);
  if (type == QTextDocument::StyleSheetResource) return QString::fromUtf8(bytes);
  return QByteArray();
}

QVariant PreviewResources::Picture(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const auto fits = [&](const QSize& size) {
    return std::max(size.width(), size.height()) <= limits_.pictureSide &&
           pixels_ + qint64{size.width()} * size.height() <= limits_.pagePixels;
  };
  // Known from the header, a size is refused before anything is decoded.
  if (const QSize size = reader.size(); size.isValid() && !fits(size)) return Refuse(Refusal::TooLarge);
  QImage picture = reader.read();
  if (picture.isNull()) return Refuse(Refusal::Unreadable);
  if (!fits(picture.size())) return Refuse(Refusal::TooLarge);
  pixels_ += qint64{picture.width()} * picture.height();
  return QPixmap::fromImage(std::move(picture));
}

QVariant PreviewResources::Refuse(Refusal refusal) {
  ++refused_[static_cast<std::size_t>(refusal)];
  return QByteArray();
}

int PreviewResources::RefusedInAll() const { return std::accumulate(refused_.begin(), refused_.end(), 0); }

}  // namespace quillary
