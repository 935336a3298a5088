#pragma once
// The core's failures. Each carries where it happened; the window turns it
// into a Japanese message, the converter into a line on stderr.

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>

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

// A character the file code page cannot express. position counts UTF-16
// units from the start of the text that was being encoded.
class UnencodableCharError : public Error {
 public:
  UnencodableCharError(std::size_t position, char32_t character)
      : Error("character U+" + Hex(character) + " cannot be written in the file code page"),
        position_(position),
        character_(character) {}
  std::size_t position() const { return position_; }
  char32_t character() const { return character_; }

 private:
  static std::string Hex(char32_t c);
  std::size_t position_;
  char32_t character_;
};

}  // namespace quillary
