#pragma once
// A page for every record: the template expanded against the field names
// and that one record (RecordCells), written to a file whose name comes
// from a pattern holding placeholders too ("item-<!-- 商品コード -->.html"),
// every page into one folder, all of them or none.
//
// The window's dialog plans first (the number of files, the first names,
// the files that would be replaced), asks, then writes with progress and a
// way to cancel; the converter does the same without asking.

#include <cstddef>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ConversionSummary.h"
#include "convert/OutputSink.h"
#include "platform/Errors.h"
#include "platform/TextEncoding.h"
#include "sheet/CellSource.h"

namespace quillary {

struct PlannedPage {
  int record = 0;       // the record's row in the sheet, from 1
  std::u16string name;  // the file's name, made safe (SafeFileName)
  bool exists = false;  // the folder holds something of that name: it is replaced
};

struct PagesPlan {
  std::filesystem::path folder;
  std::vector<PlannedPage> pages;  // in record order
  // Records whose processed fields are all empty (a sheet's unused rows):
  // they make no page.
  int blankRecords = 0;

  std::size_t Replaced() const;
  std::filesystem::path PathOf(const PlannedPage& page) const;
};

// A name pattern that gives records no name, or one name to several, or
// a record the name of a file the pages must not replace.
class PageNameError : public Error {
 public:
  enum class Kind { Empty, Shared, Protected };
  PageNameError(Kind kind, std::vector<int> records, std::u16string name, std::filesystem::path file = {});
  Kind kind() const { return kind_; }
  // Every record without a name, or every record sharing `name`, or the
  // record whose page `name` would replace `file`.
  const std::vector<int>& records() const { return records_; }
  const std::u16string& name() const { return name_; }
  // Protected: the file as it was given (the template, the CSV file).
  const std::filesystem::path& file() const { return file_; }

 private:
  Kind kind_;
  std::vector<int> records_;
  std::u16string name_;
  std::filesystem::path file_;
};

// The pattern expanded for one record, taken as it stands (the escaping
// opt-in is the template's, not the name's), before it is made safe.
std::u16string ExpandPageName(std::u16string_view pattern, const CellSource& cells, int k, int record);

// The pages' names, fields 0..k-1 processed, checked before anything is
// written: throws PageNameError when a record's name is empty (naming all
// such records) or when names are shared (the first name shared, with all
// its records; names compare as the file system compares them, byte for
// byte), and when a page would replace one of `protectedFiles` (the
// template, the sheet's CSV file: the same file, by device and inode,
// under any name or link). Throws FileWriteError when the folder is no
// folder.
PagesPlan PlanPages(std::u16string_view pattern, const CellSource& cells, int k, const std::filesystem::path& folder,
                    const std::vector<std::filesystem::path>& protectedFiles = {});

// A record's page, as WritePages makes it (before the encoding): for the
// preview.
void ExpandRecordPage(std::u16string_view templateText, const CellSource& cells, int k, int record, OutputSink& sink,
                      ConversionSummary* summary = nullptr);

// A template read for pages: its text, the pages' encoding (as a single
// output's, OutputEncoding) and whether they are HTML (named .htm/.html).
struct PageTemplate {
  std::u16string text;
  TextEncoding encoding = TextEncoding::Cp932;
  bool html = false;
};
// Throws FileReadError and UndecodableTextError.
PageTemplate ReadPageTemplate(const std::filesystem::path& path, TextEncoding sheetEncoding);

// A page that could not be made, and why: cause is what the expansion or
// the encoding threw (OutputTooLargeError, UnencodableCharError, ...).
class PageError : public Error {
 public:
  PageError(int record, std::filesystem::path file, std::exception_ptr cause);
  int record() const { return record_; }
  const std::filesystem::path& file() const { return file_; }
  std::exception_ptr cause() const { return cause_; }

 private:
  int record_;
  std::filesystem::path file_;
  std::exception_ptr cause_;
};

struct PagesHooks {
  // After each page is made (before any takes its place); false cancels.
  std::function<bool(std::size_t made, std::size_t total)> progress;
  // For tests: the error number placing page `index` fails with (0: none).
  std::function<int(std::size_t index)> placingFails;
  // For tests: the error number putting page `index` back fails with.
  std::function<int(std::size_t index)> puttingBackFails;
};

struct PagesResult {
  bool cancelled = false;  // nothing was written
  std::size_t written = 0;
  std::size_t replaced = 0;
  ConversionSummary summary;  // over every page: counts summed, names merged
};

// Writes every planned page as ReplaceFilesTogether writes its files: all
// made first, then all in place. Throws PageError and FileWriteError
// (naming the file); then, as on cancel, the folder is as it was, but for
// FilesNotPutBackError, which says where the old files are kept.
PagesResult WritePages(const PagesPlan& plan, const PageTemplate& pageTemplate, const CellSource& cells, int k,
                       const PagesHooks& hooks = {});

}  // namespace quillary
