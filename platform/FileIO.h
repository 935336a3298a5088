#pragma once
// Reading files whole, and replacing a file's contents without losing it or
// anything else about it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"

namespace quillary {

// No file the program reads is larger than this: a CSV of a million records
// is a hundred megabytes or so and a template is read whole, so anything
// larger is a mistake (a disk image, a sparse file), refused before it fills
// the memory.
inline constexpr std::uintmax_t kMaxReadBytes = std::uintmax_t{256} << 20;

// A regular file, whole. A folder, device, pipe or socket is refused at
// once, without waiting for it, and so is a file over `limit` bytes, before
// anything is read. Throws FileReadError.
std::string ReadFileBytes(const std::filesystem::path& path, std::uintmax_t limit = kMaxReadBytes);

// The file's text, its encoding decided from its bytes. Throws FileReadError.
DecodedText ReadTextFile(const std::filesystem::path& path);

// What ReplaceFileContents does with a target that exists but is not a
// regular file (a device, pipe or socket).
enum class OtherTargets { Refuse, WriteInto };

// Gives the file these bytes and keeps everything else about it:
// - a symbolic link is followed: the file it points to gets the bytes and
//   the link stays; a dangling link creates the file it names;
// - owner, group and mode are kept; a new file gets 0666 less the umask;
// - a file without any write permission bit is refused, also for root;
// - the bytes go to an unnamed temporary file beside the target, which then
//   takes the target's place in one step: on any failure, or if the process
//   is killed, the old file is whole and no temporary file is left. Where
//   that would lose the owner or the group, or split hard links, the file
//   is rewritten in place after the space for its new length was reserved.
// Throws FileWriteError naming `path`.
void ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         OtherTargets others = OtherTargets::Refuse);

// The same for bytes made while they are written: produce is called with a
// function taking them piece by piece, and anything it throws leaves the
// file as it was. Where the file must be rewritten in place, or is a device
// or pipe, the bytes are gathered whole first.
using ByteProducer = std::function<void(const std::function<void(std::string_view)>& write)>;
void ReplaceFileContents(const std::filesystem::path& path, const ByteProducer& produce,
                         OtherTargets others = OtherTargets::Refuse);

// The file a write to path goes to: symbolic links followed, a dangling
// one to the file it names. Throws FileWriteError naming `path`.
std::filesystem::path FileBehindLinks(const std::filesystem::path& path);

// All of the bytes to an open descriptor (standard output, say). Throws
// FileWriteError naming `name`.
void WriteToDescriptor(int fd, std::string_view bytes, const std::filesystem::path& name);

// On SIGINT, SIGTERM and SIGHUP, removes a named temporary file that a
// write has under way (where the file system offers no unnamed ones) and
// the program's private folders, then ends the process as the signal would
// have.
void RemoveTemporaryFilesOnSignals();

// The path for a file name as the user typed it.
std::filesystem::path PathFromText(std::u16string_view text);

}  // namespace quillary
