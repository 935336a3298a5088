#include "commondialog/QtCommonDialogBackend.h"

#include <algorithm>
#include <string>

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFont>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>
#include <QWidget>

#include "commondialog/DialogOwner.h"
#include "commondialog/QtFileDialog.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"

namespace quillary {

namespace {

constexpr std::int32_t kPageNumbers = 0x2;  // printer dialog: the page range is chosen
constexpr std::int32_t kHelpQuit = 2;

QColor FromColorRef(std::int32_t color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

std::int32_t ToColorRef(const QColor& color) { return color.red() | (color.green() << 8) | (color.blue() << 16); }

// The face name as the platform's record holds it: code page bytes, at most
// 31 of them and a zero byte.
void StoreFaceName(const QString& family, std::array<std::uint8_t, 32>& faceName) {
  std::string bytes;
  try {
    bytes = EncodeCodePage(family.toStdU16String());
  } catch (const UnencodableCharError&) {
    bytes = family.toLatin1().toStdString();
  }
  faceName.fill(0);
  const std::size_t length = std::min(bytes.size(), faceName.size() - 1);
  std::copy_n(bytes.begin(), length, faceName.begin());
}

QString FaceNameOf(const std::array<std::uint8_t, 32>& faceName) {
  const auto end = std::find(faceName.begin(), faceName.end(), std::uint8_t{0});
  return QString::fromStdU16String(DecodeCodePage(std::string(faceName.begin(), end)));
}

QFont FontOf(const FontRequest& request) {
  QFont font;
  const LogFont& log = request.logFont;
  if (log.faceName[0] != 0) font.setFamily(FaceNameOf(log.faceName));
  if (request.pointSize > 0) font.setPointSizeF(request.pointSize / 10.0);
  if (log.weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(log.weight, 100, 900)));
  font.setItalic(log.italic != 0);
  font.setUnderline(log.underline != 0);
  font.setStrikeOut(log.strikeOut != 0);
  return font;
}

FontResult FontResultOf(const QFont& font) {
  FontResult result;
  result.result = 1;
  result.pointSize = font.pointSizeF() > 0 ? qRound(font.pointSizeF() * 10) : 0;
  result.logFont.weight = font.weight();
  result.logFont.italic = font.italic() ? 1 : 0;
  result.logFont.underline = font.underline() ? 1 : 0;
  result.logFont.strikeOut = font.strikeOut() ? 1 : 0;
  StoreFaceName(font.family(), result.logFont.faceName);
  return result;
}

}  // namespace

QWidget* QtCommonDialogBackend::OwnerWidget(std::int32_t owner) {
  if (owner == 0) return nullptr;
  return QWidget::find(static_cast<WId>(static_cast<std::uint32_t>(owner)));
}

QWidget* QtCommonDialogBackend::DialogParent(std::int32_t owner) const {
  if (QWidget* widget = OwnerWidget(owner)) return widget;
  return DialogOwner(fallbackOwner_);
}

FileDialogResult QtCommonDialogBackend::ShowFileDialog(const FileDialogRequest& request) {
  const auto dialog = BuildFileDialog(request, DialogParent(request.owner));
  return RunFileDialog(*dialog);
}

ColorResult QtCommonDialogBackend::ChooseColor(const ColorRequest& request) {
  const int custom = std::min(QColorDialog::customCount(), int(request.customColors.size()));
  for (int i = 0; i < custom; ++i) QColorDialog::setCustomColor(i, FromColorRef(request.customColors[i]));

  QColorDialog dialog(FromColorRef(request.color), DialogParent(request.owner));
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  ColorResult result;
  if (dialog.exec() != QDialog::Accepted) return result;
  result.result = 1;
  result.color = ToColorRef(dialog.selectedColor());
  return result;
}

FontResult QtCommonDialogBackend::ChooseFont(const FontRequest& request) {
  QFontDialog dialog(FontOf(request), DialogParent(request.owner));
  dialog.setOption(QFontDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return FontResult{};
  return FontResultOf(dialog.selectedFont());
}

PrinterResult QtCommonDialogBackend::PrintDialog(const PrinterRequest& request) {
  QPrinter printer;
  QPrintDialog dialog(&printer, DialogParent(request.owner));
  const PrintPages& pages = request.pages;
  if (pages.minPage <= pages.maxPage) dialog.setMinMax(pages.minPage, pages.maxPage);
  if (pages.fromPage > 0 && pages.fromPage <= pages.toPage) {
    printer.setFromTo(pages.fromPage, pages.toPage);
    if ((request.flags & kPageNumbers) != 0) printer.setPrintRange(QPrinter::PageRange);
  }
  if (pages.copies > 0) printer.setCopyCount(pages.copies);

  PrinterResult result;
  if (dialog.exec() != QDialog::Accepted) return result;
  result.result = 1;
  result.pages = {static_cast<std::int16_t>(printer.fromPage()), static_cast<std::int16_t>(printer.toPage()),
                  static_cast<std::int16_t>(dialog.minPage()), static_cast<std::int16_t>(dialog.maxPage()),
                  static_cast<std::int16_t>(printer.copyCount())};
  return result;
}

std::int32_t QtCommonDialogBackend::ShowHelp(const HelpRequest& request) {
  if (request.command == kHelpQuit) return 1;
  if (request.helpFile.isEmpty()) return 0;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(request.helpFile)) ? 1 : 0;
}

std::int32_t QtCommonDialogBackend::ExtendedError() { return 0; }

}  // namespace quillary
