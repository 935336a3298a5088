#pragma once
// The two ways a Show method of the common dialog wrapper reports to its
// caller instead of returning normally.

#include <cstdint>
#include <stdexcept>
#include <utility>

#include <QString>

namespace quillary {

// The user cancelled (or the dialog failed) while CancelError was true.
class CommonDialogCancelError : public std::runtime_error {
 public:
  // Every dialog but the colour dialog: no description.
  static constexpr std::int32_t kCancelNumber = 2001;
  // The colour dialog: 0x8004037E as a signed 32-bit value, "Cancel Pressed".
  static constexpr std::int32_t kColorCancelNumber = -2147220610;

  explicit CommonDialogCancelError(std::int32_t number, QString description = QString())
      : std::runtime_error(description.isEmpty() ? "common dialog cancelled" : description.toStdString()),
        number_(number),
        description_(std::move(description)) {}

  std::int32_t number() const { return number_; }
  const QString& description() const { return description_; }

 private:
  std::int32_t number_;
  QString description_;
};

// A file dialog returned a path that does not fit the file-name buffer
// (more than capacity - 1 characters). Raised whatever CancelError holds, so a
// long path is never cut short silently.
class FileNameTooLongError : public std::runtime_error {
 public:
  FileNameTooLongError(QString path, std::int32_t capacity)
      : std::runtime_error("chosen file name does not fit the file-name buffer"),
        path_(std::move(path)),
        capacity_(capacity) {}

  const QString& path() const { return path_; }
  // The buffer's capacity, its terminating NUL included.
  std::int32_t capacity() const { return capacity_; }

 private:
  QString path_;
  std::int32_t capacity_;
};

}  // namespace quillary
