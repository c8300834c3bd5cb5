#pragma once
// The host's scripted answers to the questions the plug-ins ask (halvex
// open's and build's `--answer WHAT=REPLY[+CHECKBOX...]` options):
//   WHAT   a part of a message box's text, or the class name of a modal form
//          ("TFormSimpleMessage");
//   REPLY  yes, no, ok or cancel: the button pressed (on a modal form, the
//          button captioned so);
//   CHECKBOX  check boxes of a modal form ticked before the button.
// A question no answer matches gets the driver's answer without a handler:
// the box's default button, Cancel for a modal form. A question that lacks
// the reply's button or a check box named gets the answer that declines what
// it asks, never its default: a box its Cancel, No, Abort or OK (the first it
// has), a form the result of its Cancel, No or Abort button (Cancel when it
// has none), nothing ticked. The answer's scope tells it, and the run stops
// there.

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
// to `err`, for a text without WHAT or REPLY, a reply that is not one of the
// four, or an empty check box name.
bool ParseHostAnswers(const std::vector<std::string>& texts, std::vector<HostAnswer>& answers, std::ostream& err);

// Registers the answers with the driver while it lives, and keeps which of
// them answered a question.
class HostAnswerScope {
 public:
  explicit HostAnswerScope(const std::vector<HostAnswer>& answers);
  ~HostAnswerScope();
  HostAnswerScope(const HostAnswerScope&) = delete;
  HostAnswerScope& operator=(const HostAnswerScope&) = delete;

  // One line for each answer that answered no question so far or that a
  // question could not take, with what that question lacked ("--answer
  // "x=cancel" answered no question: the message box "..." has no Cancel
  // button", "...: the form TFormX has no check box NAME").
  std::vector<std::string> Faults() const;
  // A question matched an answer it could not take: the run is to stop.
  bool Failed() const { return failed_; }

 private:
  struct Use {
    std::string text;
    std::size_t answered = 0;
    std::vector<std::string> faults;  // what the questions it could not answer lacked
  };
  std::vector<int> handlers_;
  std::vector<Use> uses_;
  bool failed_ = false;
};

// The questions asked since the driver's logs held `boxesBefore` message
// boxes and `modalsBefore` modal forms, one line each in the order they were
// shown, with the answer and who gave it.
std::vector<std::string> QuestionsAskedSince(std::size_t boxesBefore, std::size_t modalsBefore);
