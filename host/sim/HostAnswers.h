#pragma once
// The host's scripted answers to the questions the plug-ins ask (halvex
// open's and build's `--answer WHAT=REPLY[+CHECKBOX...]` options):
//   WHAT   a part of a message box's text, or the class name of a modal form
//          ("TFormSimpleMessage");
//   REPLY  yes, no, ok or cancel: the button pressed;
//   CHECKBOX  check boxes of a modal form ticked before the button.
// A question no answer matches gets the driver's answer without a handler:
// the box's default button, Cancel for a modal form. A box that lacks the
// reply's button gets the answer that declines what it asks (Cancel, No,
// Abort or OK, the first it has), not its default; the answer's scope tells
// it, and the run stops there.

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

// Registers the answers with the driver while it lives, and keeps which of
// them answered a question.
class HostAnswerScope {
 public:
  explicit HostAnswerScope(const std::vector<HostAnswer>& answers);
  ~HostAnswerScope();
  HostAnswerScope(const HostAnswerScope&) = delete;
  HostAnswerScope& operator=(const HostAnswerScope&) = delete;

  // One line for each answer that answered no question so far, with the
  // boxes it matched that lack its button ("--answer "x=cancel" answered no
  // question: the message box "..." has no Cancel button").
  std::vector<std::string> Unused() const;
  // A box matched an answer whose button it lacks: the run is to stop.
  bool Failed() const { return failed_; }

 private:
  struct Use {
    std::string text;
    const char* caption = "";  // of the reply's button
    std::size_t answered = 0;
    std::vector<std::string> lacking;  // texts of the boxes without the reply's button
  };
  std::vector<int> handlers_;
  std::vector<Use> uses_;
  bool failed_ = false;
};

// The questions asked since the driver's logs held `boxesBefore` message
// boxes and `modalsBefore` modal forms, one line each in the order they were
// shown, with the answer and who gave it.
std::vector<std::string> QuestionsAskedSince(std::size_t boxesBefore, std::size_t modalsBefore);
