#include "commondialog/C_CommonDialog.h"

#include <limits>
#include <stdexcept>

namespace quillary {

namespace {

constexpr std::int16_t kActionColor = 3;
constexpr std::int16_t kActionFont = 4;
constexpr std::int16_t kActionPrinter = 5;
constexpr std::int16_t kActionHelp = 6;
constexpr std::int16_t kActionUnchanged = 0;

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBoldWeight = 700;

// FontSize in the font dialog's tenths of a point; a size whose tenths do
// not fit the field is an error (ending the Show method quietly).
std::int32_t ToTenths(std::int32_t points) {
  const std::int64_t tenths = std::int64_t{points} * 10;
  if (tenths > std::numeric_limits<std::int32_t>::max() || tenths < std::numeric_limits<std::int32_t>::min()) {
    throw std::overflow_error("font size out of range");
  }
  return static_cast<std::int32_t>(tenths);
}

// Tenths of a point to whole points, halves to the even neighbour.
std::int32_t FromTenths(std::int32_t tenths) {
  std::int32_t quotient = tenths / 10;
  std::int32_t remainder = tenths % 10;
  if (remainder < 0) {  // floor division, so the remainder is 0..9
    --quotient;
    remainder += 10;
  }
  if (remainder > 5 || (remainder == 5 && quotient % 2 != 0)) ++quotient;
  return quotient;
}

std::uint8_t FlagByte(bool on) { return on ? 1 : 0; }

}  // namespace

template <typename Body>
void C_CommonDialog::Quietly(Body body) {
  try {
    body();
  } catch (const CommonDialogCancelError&) {
    throw;
  } catch (const FileNameTooLongError&) {
    throw;
  } catch (...) {
    // Any other failure ends the Show method with the properties as set so far.
  }
}

void C_CommonDialog::Begin(std::int16_t action) {
  if (action != kActionUnchanged) action_ = action;
  apiReturn_ = 0;
  extendedError_ = 0;
}

bool C_CommonDialog::Accepted(std::int32_t result, std::int32_t cancelNumber, const QString& cancelDescription) {
  apiReturn_ = result;
  if (result == 1) return true;
  if (result == 0) {
    if (cancelError_) throw CommonDialogCancelError(cancelNumber, cancelDescription);
  } else {
    extendedError_ = backend_.ExtendedError();
  }
  return false;
}

QString C_CommonDialog::TrimAtNull(const QString& text) {
  const qsizetype nul = text.indexOf(QChar(u'\0'));
  return nul < 0 ? text : text.left(nul);
}

// Every entry ends with a NUL and an empty entry ends the list, so a|b gives
// a NUL b NUL NUL; an empty Filter gives no list at all.
QString C_CommonDialog::FilterToNulls() const {
  if (filter_.isEmpty()) return QString();
  QString list = filter_;
  list.replace(QChar(u'|'), QChar(u'\0'));
  list.append(QChar(u'\0'));
  list.append(QChar(u'\0'));
  return list;
}

QString C_CommonDialog::BytesToText(const std::uint8_t* bytes, std::size_t size) {
  QString text;
  for (std::size_t i = 0; i < size && bytes[i] != 0; ++i) text.append(QChar(bytes[i]));
  return text;
}

void C_CommonDialog::ShowOpen() { ShowFileDialog(FileDialogMode::Open); }

void C_CommonDialog::ShowSave() { ShowFileDialog(FileDialogMode::Save); }

void C_CommonDialog::ShowFileDialog(FileDialogMode mode) {
  Begin(kActionUnchanged);
  Quietly([&] {
    const std::int32_t capacity = maxFileSize_ > 0 ? maxFileSize_ : kDefaultCapacity;
    FileDialogRequest request;
    request.mode = mode;
    request.owner = hwndOwner_;
    request.filter = FilterToNulls();
    request.filterIndex = filterIndex_;
    request.capacity = capacity;
    request.fileBuffer = QString(capacity - 1, QChar(u' ')) + QChar(u'\0');
    request.initialDir = initDir_;
    request.initialName = initialName_;
    request.title = dialogTitle_;
    request.flags = flags_;
    request.defaultExt = defaultExt_;

    const FileDialogResult answer = backend_.ShowFileDialog(request);
    if (!Accepted(answer.result, CommonDialogCancelError::kCancelNumber)) return;
    const QString path = TrimAtNull(answer.fileBuffer);
    if (path.size() > capacity - 1) {
      apiReturn_ = 0;
      extendedError_ = kBufferTooSmall;
      throw FileNameTooLongError(path, capacity);
    }
    fileName_ = path;
    fileTitle_ = TrimAtNull(answer.titleBuffer);
  });
}

void C_CommonDialog::ShowColor() {
  Begin(kActionColor);
  Quietly([&] {
    ColorRequest request;
    request.owner = hwndOwner_;
    request.color = color_;
    request.customColors.fill(kWhite);
    request.flags = flags_;

    const ColorResult answer = backend_.ChooseColor(request);
    if (Accepted(answer.result, CommonDialogCancelError::kColorCancelNumber, QStringLiteral("Cancel Pressed"))) {
      color_ = answer.color;
    }
  });
}

void C_CommonDialog::ShowFont() {
  Begin(kActionFont);
  Quietly([&] {
    FontRequest request;
    request.owner = hwndOwner_;
    request.pointSize = ToTenths(fontSize_);
    request.flags = flags_;
    request.logFont.weight = fontBold_ ? kBoldWeight : 0;
    request.logFont.italic = FlagByte(fontItalic_);
    request.logFont.underline = FlagByte(fontUnderline_);
    request.logFont.strikeOut = FlagByte(fontStrikethru_);

    const FontResult answer = backend_.ChooseFont(request);
    if (!Accepted(answer.result, CommonDialogCancelError::kCancelNumber)) return;
    const LogFont& font = answer.logFont;
    fontBold_ = font.weight >= kBoldWeight;
    fontItalic_ = font.italic == 1;
    fontUnderline_ = font.underline == 1;
    fontStrikethru_ = font.strikeOut == 1;
    fontName_ = BytesToText(font.faceName.data(), font.faceName.size());
    fontSize_ = FromTenths(answer.pointSize);
  });
}

void C_CommonDialog::ShowPrinter() {
  Begin(kActionPrinter);
  Quietly([&] {
    PrinterRequest request;
    request.owner = hwndOwner_;
    request.hdc = hdc_;
    request.flags = flags_;
    request.pages = {static_cast<std::int16_t>(fromPage_), static_cast<std::int16_t>(toPage_),
                     static_cast<std::int16_t>(min_), static_cast<std::int16_t>(max_),
                     static_cast<std::int16_t>(copies_)};

    const PrinterResult answer = backend_.PrintDialog(request);
    if (!Accepted(answer.result, CommonDialogCancelError::kCancelNumber)) return;
    fromPage_ = answer.pages.fromPage;
    toPage_ = answer.pages.toPage;
    min_ = answer.pages.minPage;
    max_ = answer.pages.maxPage;
    copies_ = answer.pages.copies;
  });
}

void C_CommonDialog::ShowHelp() {
  Begin(kActionHelp);
  Quietly([&] {
    HelpRequest request;
    request.owner = hwndOwner_;
    request.helpFile = helpFile_;
    request.command = helpCommand_;
    request.data = 0;
    apiReturn_ = backend_.ShowHelp(request);
    extendedError_ = backend_.ExtendedError();
  });
}

}  // namespace quillary
