#pragma once
// もう一度変換: converts with the template and output of the last conversion,
// without the dialog. The output it wrote itself is replaced without a
// question unless the file has changed on disk since; a template or output
// that has gone is told of, and the Convert dialog opens instead.

#include <optional>

#include "convert/ConversionPair.h"
#include "convert/dialog/ConvertCommand.h"

namespace quillary {

class MessageBox;

class ConvertAgainCommand {
 public:
  ConvertAgainCommand(ConvertCommand& convert, MessageBox& messageBox) : convert_(convert), messageBox_(messageBox) {}

  // Without a pair (nothing converted yet for this sheet), Convert itself.
  std::optional<ConversionDone> ConvertAgain_Click(const std::optional<ConversionPair>& pair);

 private:
  ConvertCommand& convert_;
  MessageBox& messageBox_;
};

}  // namespace quillary
