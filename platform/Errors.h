#pragma once
// The core's failures. Each carries where it happened; the window turns it
// into a Japanese message, the converter into a line on stderr.

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/TextEncoding.h"

namespace quillary {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FileReadError : public Error {
 public:
  explicit FileReadError(std::filesystem::path path)
      : Error("cannot read file: " + path.string()), path_(std::move(path)) {}
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class FileWriteError : public Error {
 public:
  explicit FileWriteError(std::filesystem::path path)
      : Error("cannot write file: " + path.string()), path_(std::move(path)) {}
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A file read as `encoding` holds bytes that do not decode in it. Commands
// that write from such a file refuse it rather than write replacements.
class UndecodableTextError : public Error {
 public:
  UndecodableTextError(std::filesystem::path path, TextEncoding encoding, UndecodableBytes bytes)
      : Error(path.string() + ": " + std::to_string(bytes.count) + (bytes.count == 1 ? " byte" : " bytes") +
              " cannot be read as " +
              EncodingName(encoding) + ", the first at byte offset " + std::to_string(bytes.firstOffset) +
              " (line " + std::to_string(bytes.firstLine) + ")"),
        path_(std::move(path)),
        encoding_(encoding),
        bytes_(bytes) {}
  const std::filesystem::path& path() const { return path_; }
  TextEncoding encoding() const { return encoding_; }
  const UndecodableBytes& bytes() const { return bytes_; }

 private:
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
