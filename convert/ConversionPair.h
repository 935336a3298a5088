#pragma once
// A conversion's two names, as もう一度変換 takes them up again.

#include <QString>
#include <QtGlobal>

namespace quillary {

// The names, and the output as the conversion left it.
struct ConversionPair {
  QString templateName;
  QString outputName;
  // Modification time (ms since the epoch) and size; -1: not known, so a
  // replacement is asked about.
  qint64 outputModified = -1;
  qint64 outputSize = -1;
  bool operator==(const ConversionPair&) const = default;
};

// The pair with the output's file as it is now.
ConversionPair StampedPair(const QString& templateName, const QString& outputName);

}  // namespace quillary
