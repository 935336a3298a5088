#include "convert/RecordPages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <unordered_map>

#include "convert/CharacterReferences.h"
#include "convert/EncodingSink.h"
#include "convert/FindRep.h"
#include "convert/PageNames.h"
#include "convert/RecordCells.h"
#include "convert/TemplateFile.h"
#include "platform/FileIO.h"
#include "platform/FileSet.h"

namespace quillary {

namespace {

namespace fs = std::filesystem;

std::string NameForMessage(std::u16string_view name) {
  try {
    return EncodeText(name, TextEncoding::Utf8);
  } catch (const UnencodableCharError&) {
    return "?";
  }
}

std::string RecordList(const std::vector<int>& records) {
  std::string list;
  for (const int record : records) list += (list.empty() ? "" : ", ") + std::to_string(record);
  return list;
}

std::string PageNameMessage(PageNameError::Kind kind, const std::vector<int>& records, std::u16string_view name,
                            const fs::path& file) {
  if (kind == PageNameError::Kind::Empty)
    return "the name pattern gives no file name for records " + RecordList(records);
  if (kind == PageNameError::Kind::Protected)
    return "the page of record " + RecordList(records) + ", " + NameForMessage(name) + ", would replace " +
           file.string();
  return "the name pattern gives records " + RecordList(records) + " one file name, " + NameForMessage(name);
}

bool BlankRecord(const CellSource& cells, int fields, int record) {
  std::u16string scratch;
  for (int f = 0; f < fields; ++f)
    if (!cells.Text(f, record, scratch).empty()) return false;
  return true;
}

// The longest name the folder's file system takes.
std::size_t LongestNameIn(const fs::path& folder) {
  const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return longest > 0 ? std::min<std::size_t>(static_cast<std::size_t>(longest), kLongestFileName) : kLongestFileName;
}

// Page summaries added up: names in the order they first appear.
class SummaryTotal {
 public:
  explicit SummaryTotal(ConversionSummary& total) : total_(total) {}
  void Add(const ConversionSummary& page) {
    total_.filled += page.filled;
    total_.references += page.references;
    total_.valuesEscaped |= page.valuesEscaped;
    Merge(total_.unfilled, unfilled_, page.unfilled);
    Merge(total_.unknown, unknown_, page.unknown);
  }

 private:
  static void Merge(NameCounts& into, std::unordered_map<std::u16string, std::size_t>& index, const NameCounts& from) {
    for (const auto& [name, count] : from) {
      const auto [entry, isNew] = index.try_emplace(name, into.size());
      if (isNew) into.emplace_back(name, 0);
      into[entry->second].second += count;
    }
  }

  ConversionSummary& total_;
  std::unordered_map<std::u16string, std::size_t> unfilled_, unknown_;
};

// A file as the file system tells files apart.
struct FileIdentity {
  dev_t device;
  ino_t inode;
  const fs::path* path;
};

std::vector<FileIdentity> IdentitiesOf(const std::vector<fs::path>& files) {
  std::vector<FileIdentity> identities;
  for (const fs::path& file : files) {
    struct stat info {};
    if (!file.empty() && ::stat(file.c_str(), &info) == 0) identities.push_back({info.st_dev, info.st_ino, &file});
  }
  return identities;
}

}  // namespace

std::size_t PagesPlan::Replaced() const {
  return static_cast<std::size_t>(
      std::count_if(pages.begin(), pages.end(), [](const PlannedPage& page) { return page.exists; }));
}

fs::path PagesPlan::PathOf(const PlannedPage& page) const { return folder / PathFromText(page.name); }

PageNameError::PageNameError(Kind kind, std::vector<int> records, std::u16string name, fs::path file)
    : Error(PageNameMessage(kind, records, name, file)),
      kind_(kind),
      records_(std::move(records)),
      name_(std::move(name)),
      file_(std::move(file)) {}

PageError::PageError(int record, fs::path file, std::exception_ptr cause)
    : Error("record " + std::to_string(record) + ", " + file.string()),
      record_(record),
      file_(std::move(file)),
      cause_(std::move(cause)) {}

std::u16string ExpandPageName(std::u16string_view pattern, const CellSource& cells, int k, int record) {
  std::u16string name;
  StringSink sink(name);
  ExpandText(pattern, RecordCells(cells, record), k, sink);
  // Cut at a NUL as every output is; what is left is made safe.
  return name.substr(0, name.find(u'\0'));
}

PagesPlan PlanPages(std::u16string_view pattern, const CellSource& cells, int k, const fs::path& folder,
                    const std::vector<fs::path>& protectedFiles) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0) throw FileWriteError(folder, ProblemOf(errno), errno);
  if (!S_ISDIR(info.st_mode)) throw FileWriteError(folder, FileProblem::NotFound, ENOTDIR);
  PagesPlan plan;
  plan.folder = folder;
  const std::size_t longest = LongestNameIn(folder);
  const int fields = std::clamp(k, 0, cells.Fields());
  std::vector<int> unnamed;
  std::unordered_map<std::u16string, std::vector<int>> byName;
  for (int record = 1; record < cells.Rows(); ++record) {
    if (BlankRecord(cells, fields, record)) {
      ++plan.blankRecords;
      continue;
    }
    std::u16string name = SafeFileName(ExpandPageName(pattern, cells, k, record), longest);
    if (name.empty()) {
      unnamed.push_back(record);
      continue;
    }
    std::vector<int>& sharing = byName[name];
    sharing.push_back(record);
    if (sharing.size() == 1) plan.pages.push_back({record, std::move(name), false});
  }
  if (!unnamed.empty()) throw PageNameError(PageNameError::Kind::Empty, std::move(unnamed), u"");
  for (const PlannedPage& page : plan.pages) {
    const std::vector<int>& sharing = byName[page.name];
    if (sharing.size() > 1) throw PageNameError(PageNameError::Kind::Shared, sharing, page.name);
  }
  const std::vector<FileIdentity> guarded = IdentitiesOf(protectedFiles);
  for (PlannedPage& page : plan.pages) {
    struct stat existing {};
    const fs::path path = plan.PathOf(page);
    page.exists = ::lstat(path.c_str(), &existing) == 0;
    // What the page replaces is the file behind any link.
    if (!page.exists || guarded.empty() || ::stat(path.c_str(), &existing) != 0) continue;
    for (const FileIdentity& file : guarded)
      if (file.device == existing.st_dev && file.inode == existing.st_ino)
        throw PageNameError(PageNameError::Kind::Protected, {page.record}, page.name, *file.path);
  }
  return plan;
}

void ExpandRecordPage(std::u16string_view templateText, const CellSource& cells, int k, int record, OutputSink& sink,
                      ConversionSummary* summary) {
  ExpandTemplate(templateText, RecordCells(cells, record), k, sink, kMaxOutputUnits, summary);
}

PageTemplate ReadPageTemplate(const fs::path& path, TextEncoding sheetEncoding) {
  DecodedText file = ReadTemplateFile(path);
  const TextEncoding encoding = OutputEncoding(file, sheetEncoding);
  return {std::move(file.text), encoding, IsHtmlTemplateName(path)};
}

PagesResult WritePages(const PagesPlan& plan, const PageTemplate& pageTemplate, const CellSource& cells, int k,
                       const PagesHooks& hooks) {
  std::vector<fs::path> paths;
  paths.reserve(plan.pages.size());
  for (const PlannedPage& page : plan.pages) paths.push_back(plan.PathOf(page));
  // The one-record sheets share the field names, so every page decides alike.
  const bool references = WritesReferences(pageTemplate.text, cells, k, pageTemplate.html);
  PagesResult result;
  SummaryTotal total(result.summary);
  FileSetHooks fileHooks;
  if (hooks.progress) fileHooks.made = [&](std::size_t made) { return hooks.progress(made, paths.size()); };
  fileHooks.placingFails = hooks.placingFails;
  fileHooks.puttingBackFails = hooks.puttingBackFails;
  const auto make = [&](std::size_t index, const std::function<void(std::string_view)>& write) {
    const int record = plan.pages[index].record;
    ConversionSummary page;
    try {
      EncodingSink encoded(pageTemplate.encoding, write, references);
      ExpandRecordPage(pageTemplate.text, cells, k, record, encoded, &page);
      page.references = encoded.References();
    } catch (const FileError&) {
      throw;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception&) {
      throw PageError(record, paths[index], std::current_exception());
    }
    total.Add(page);
  };
  if (!ReplaceFilesTogether(paths, make, fileHooks)) {
    result = PagesResult();
    result.cancelled = true;
    return result;
  }
  result.written = paths.size();
  result.replaced = plan.Replaced();
  return result;
}

}  // namespace quillary
