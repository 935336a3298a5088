#pragma once
// The core's failures. Each carries where it happened; the window turns it
// into a Japanese message, the converter into a line on stderr.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/TextEncoding.h"

namespace quillary {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Why a file could not be read or written, in the terms a user acts on.
enum class FileProblem {
  Other,           // see the system's error number
  NotFound,        // no such file, or no such folder to write into
  NoPermission,    // the system refused access
  ReadOnlyPlace,   // a read-only file system
  WriteProtected,  // the file has no write permission bit at all
  NoSpace,         // the disk or the quota is full
  NameTooLong,     // a name or the path is too long
  NotRegularFile,  // a device, pipe or socket
  IsFolder,
  TooLarge,  // over the read limit, or over the file size limit
  NoMemory,
  // The file has other names (hard links) or an owner a new file cannot be
  // given, so it can only be rewritten in place, not replaced as a whole.
  InPlaceOnly,
};

// The problem an error number of the system stands for.
FileProblem ProblemOf(int errorNumber);
// "no space left on the disk", ...: for messages in English.
std::string ProblemText(FileProblem problem, int errorNumber);

// A failed read or write: the file, why, and the system's error number
// (0 where the program itself refused). size: the file's size for TooLarge.
class FileError : public Error {
 public:
  FileError(const char* verb, std::filesystem::path path, FileProblem problem, int errorNumber, std::uintmax_t size = 0)
      : Error(std::string("cannot ") + verb + " " + path.string() + ": " + ProblemText(problem, errorNumber)),
        path_(std::move(path)),
        problem_(problem),
        errorNumber_(errorNumber),
        size_(size) {}
  const std::filesystem::path& path() const { return path_; }
  FileProblem problem() const { return problem_; }
  int errorNumber() const { return errorNumber_; }
  std::uintmax_t size() const { return size_; }

 private:
  std::filesystem::path path_;
  FileProblem problem_;
  int errorNumber_;
  std::uintmax_t size_;
};

class FileReadError : public FileError {
 public:
  FileReadError(std::filesystem::path path, FileProblem problem, int errorNumber = 0, std::uintmax_t size = 0)
      : FileError("read", std::move(path), problem, errorNumber, size) {}
};

class FileWriteError : public FileError {
 public:
  FileWriteError(std::filesystem::path path, FileProblem problem, int errorNumber = 0)
      : FileError("write", std::move(path), problem, errorNumber) {}
};

// A file read as `encoding` holds bytes that do not decode in it. Commands
// that write from such a file refuse it rather than write replacements.
class UndecodableTextError : public Error {
 public:
  UndecodableTextError(std::filesystem::path path, TextEncoding encoding, UndecodableBytes bytes)
      : Error(path.string() + ": " + What(encoding, bytes) + ", the first at byte offset " +
              std::to_string(bytes.firstOffset) + " (line " + std::to_string(bytes.firstLine) + ")"),
        path_(std::move(path)),
        encoding_(encoding),
        bytes_(bytes) {}
  const std::filesystem::path& path() const { return path_; }
  TextEncoding encoding() const { return encoding_; }
  const UndecodableBytes& bytes() const { return bytes_; }

 private:
  static std::string What(TextEncoding encoding, const UndecodableBytes& bytes) {
    const std::string count = std::to_string(bytes.count);
    if (bytes.damagedUtf8)
      return "looks like UTF-8 but holds " + count +
             (bytes.count == 1 ? " malformed sequence" : " malformed sequences");
    return count + (bytes.count == 1 ? " byte" : " bytes") + " cannot be read as " + EncodingName(encoding);
  }

  std::filesystem::path path_;
  TextEncoding encoding_;
  UndecodableBytes bytes_;
};

// A character the file's encoding cannot express. position counts UTF-16
// units from the start of the text that was being encoded.
class UnencodableCharError : public Error {
 public:
  UnencodableCharError(std::size_t position, char32_t character, TextEncoding encoding)
      : Error("character U+" + Hex(character) + " cannot be written in " + EncodingName(encoding)),
        position_(position),
        character_(character),
        encoding_(encoding) {}
  std::size_t position() const { return position_; }
  char32_t character() const { return character_; }
  TextEncoding encoding() const { return encoding_; }

 private:
  static std::string Hex(char32_t c);
  std::size_t position_;
  char32_t character_;
  TextEncoding encoding_;
};

}  // namespace quillary
