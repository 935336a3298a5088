#pragma once
// Writing a recovery file: a new base in one step, or a record appended.

#include <filesystem>
#include <functional>
#include <string_view>

#include "recovery/RecoveryFormat.h"

namespace quillary {

// The file holds the sheet from now on: written beside it and put in its
// place in one step, synced to the disk. On any failure the old file is
// whole. checkpoint is called between pieces; what it throws abandons the
// write. Throws FileWriteError.
void WriteRecoveryFile(const std::filesystem::path& file, const RecoveryInfo& info, const Sheet& sheet,
                       const std::function<void()>& checkpoint = {});

// Adds a record at the end of the file and syncs it to the disk. On failure
// the file is cut back to what it was where that can be done; the caller
// writes a new base next. Throws FileWriteError (a file that is not there
// throws one too).
void AppendRecoveryRecord(const std::filesystem::path& file, std::string_view record);

// Gone, if it was there.
void RemoveRecoveryFile(const std::filesystem::path& file);

}  // namespace quillary
