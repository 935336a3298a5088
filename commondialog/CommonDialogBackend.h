#pragma once
// What the common dialog wrapper asks of the platform: one call per dialog,
// given the request exactly as the wrapper fills it, returning the platform's
// result code (1 accepted, 0 cancelled or failed, anything else an error to be
// looked up with ExtendedError) and the fields read back.
//
// Owners are window handles as 32-bit integers, 0 = no owner.

#include <array>
#include <cstdint>

#include <QString>

namespace quillary {

enum class FileDialogMode { Open = 1, Save = 2 };

// A request flag of the open dialog: a folder is chosen, not a file.
inline constexpr std::int32_t kPickFolderFlag = 0x40000000;

struct FileDialogRequest {
  FileDialogMode mode = FileDialogMode::Open;
  std::int32_t owner = 0;
  // Description and pattern in turn, each ended by a NUL, then one more NUL;
  // empty = no list of file types.
  QString filter;
  // The pair to start on, counted from 1; 0 = the first.
  std::int16_t filterIndex = 0;
  // Characters the file buffer holds, its terminating NUL included.
  std::int32_t capacity = 0;
  // capacity - 1 blanks and a NUL: no initial file name.
  QString fileBuffer;
  QString initialDir;   // empty = the platform's choice
  QString initialName;  // the name the dialog offers; empty = none
  QString title;        // empty = the platform's own title
  std::int32_t flags = 0;
  QString defaultExt;  // added to a name typed without an extension
};

struct FileDialogResult {
  std::int32_t result = 0;
  // The chosen path, possibly followed by a NUL and anything. A backend never
  // cuts the path to fit the capacity: the wrapper decides what is too long.
  QString fileBuffer;
  QString titleBuffer;  // the chosen file's name without its folder
};

// Colours are 0x00BBGGRR.
struct ColorRequest {
  std::int32_t owner = 0;
  std::int32_t color = 0;
  std::array<std::int32_t, 16> customColors{};
  std::int32_t flags = 0;
};

struct ColorResult {
  std::int32_t result = 0;
  std::int32_t color = 0;
};

// The font record of the platform: weights 0..1000 (700 = bold), flags as
// bytes (1 = on), the face name as code page bytes ended by a zero byte.
struct LogFont {
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;
  std::int32_t orientation = 0;
  std::int32_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 0;
  std::uint8_t outPrecision = 0;
  std::uint8_t clipPrecision = 0;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::array<std::uint8_t, 32> faceName{};
};

struct FontRequest {
  std::int32_t owner = 0;
  std::int32_t pointSize = 0;  // tenths of a point
  std::int32_t flags = 0;
  LogFont logFont;
};

struct FontResult {
  std::int32_t result = 0;
  std::int32_t pointSize = 0;  // tenths of a point
  LogFont logFont;
};

// The page numbers and copies a print dialog shows and gives back.
struct PrintPages {
  std::int16_t fromPage = 0;
  std::int16_t toPage = 0;
  std::int16_t minPage = 0;
  std::int16_t maxPage = 0;
  std::int16_t copies = 0;
};

struct PrinterRequest {
  std::int32_t owner = 0;
  std::int32_t hdc = 0;
  std::int32_t flags = 0;
  PrintPages pages;
};

struct PrinterResult {
  std::int32_t result = 0;
  PrintPages pages;
};

struct HelpRequest {
  std::int32_t owner = 0;
  QString helpFile;
  std::int32_t command = 0;
  std::int32_t data = 0;
};

class CommonDialogBackend {
 public:
  virtual ~CommonDialogBackend() = default;

  virtual FileDialogResult ShowFileDialog(const FileDialogRequest& request) = 0;
  virtual ColorResult ChooseColor(const ColorRequest& request) = 0;
  virtual FontResult ChooseFont(const FontRequest& request) = 0;
  virtual PrinterResult PrintDialog(const PrinterRequest& request) = 0;
  // Returns the viewer's result (nonzero = done).
  virtual std::int32_t ShowHelp(const HelpRequest& request) = 0;
  // The extended error code of the last dialog call, 0 = none.
  virtual std::int32_t ExtendedError() = 0;
};

}  // namespace quillary
