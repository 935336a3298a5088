#pragma once
// A message box that shows nothing: it records every call and answers from a
// script.
//
// Answers are taken from `answers` front first. With the queue empty it
// answers the box's first button, as a user pressing Enter on the default
// would: Ok for Ok boxes, Yes for Yes/No and Yes/No/Cancel boxes.

#include <deque>
#include <vector>

#include <QString>
#include <QStringList>

#include "commondialog/MessageBox.h"

namespace quillary::testing {

class FakeMessageBox : public MessageBox {
 public:
  struct Call {
    QString prompt;
    MsgButtons buttons;
    MsgIcon icon;
    QString title;
  };

  MsgResult Show(const QString& prompt, MsgButtons buttons, MsgIcon icon, const QString& title) override {
    calls.push_back({prompt, buttons, icon, title});
    if (answers.empty()) return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    const MsgResult answer = answers.front();
    answers.pop_front();
    return answer;
  }

  // Queues answers for the next boxes, in order.
  FakeMessageBox& Answer(MsgResult answer) {
    answers.push_back(answer);
    return *this;
  }

  // The prompts shown since the last call. A box styled neither as a refusal
  // (OK, error icon, "Quillary"), a warning (OK, exclamation icon,
  // "Quillary") nor as a question (Yes/No, information icon, "確認") is marked.
  QStringList TakePrompts() {
    QStringList prompts;
    for (const Call& call : calls) {
      const bool refusal = call.buttons == MsgButtons::Ok && call.title == kProgramTitle &&
                           (call.icon == MsgIcon::Error || call.icon == MsgIcon::Exclamation);
      const bool question =
          call.buttons != MsgButtons::Ok && call.icon == MsgIcon::Information && call.title == QStringLiteral("確認");
      prompts << (refusal || question ? call.prompt : QStringLiteral("wrongly styled: ") + call.prompt);
    }
    calls.clear();
    return prompts;
  }

  std::vector<Call> calls;
  std::deque<MsgResult> answers;
};

}  // namespace quillary::testing
