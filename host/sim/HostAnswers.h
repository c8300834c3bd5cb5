#pragma once
// The host's scripted answers to the questions the plug-ins ask (halvex
// build's `--answer WHAT=REPLY[+CHECKBOX...]` options):
//   WHAT   a part of a message box's text, or the class name of a modal form
//          ("TFormSimpleMessage");
//   REPLY  yes, no, ok or cancel: the button pressed;
//   CHECKBOX  check boxes of a modal form ticked before the button.
// A question no answer matches gets the driver's answer without a handler:
// the box's default button, Cancel for a modal form.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

struct HostAnswer {
  std::string what;
  std::string reply;  // lower case: "yes", "no", "ok", "cancel"
  std::vector<std::string> checkBoxes;
};

// Parses the texts "WHAT=REPLY[+CHECKBOX...]"; false, with the fault written
// to `err`, for a text without WHAT or REPLY or a reply that is not one of the
// four.
bool ParseHostAnswers(const std::vector<std::string>& texts, std::vector<HostAnswer>& answers, std::ostream& err);

// Registers the answers with the driver while it lives.
class HostAnswerScope {
 public:
  explicit HostAnswerScope(const std::vector<HostAnswer>& answers);
  ~HostAnswerScope();
  HostAnswerScope(const HostAnswerScope&) = delete;
  HostAnswerScope& operator=(const HostAnswerScope&) = delete;

 private:
  std::vector<int> handlers_;
};

// The questions asked since the driver's logs held `boxesBefore` message
// boxes and `modalsBefore` modal forms, one line each in the order they were
// shown, with the answer and who gave it.
std::vector<std::string> QuestionsAskedSince(std::size_t boxesBefore, std::size_t modalsBefore);
