#include "host/sim/HostAnswers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/MessageDialog.h"
#include "platform/win/MessageBox.h"

namespace {

// A reply: its word, the message box's answer, the caption of the button
// that gives it (on a box or a form) and that button of a message dialog.
struct Reply {
  const char* word;
  int boxAnswer;
  const char* caption;
  TMsgDlgBtn dialogButton;
};

constexpr std::array<Reply, 4> kReplies = {{
    {"yes", IDYES, "Yes", mbYes},
    {"no", IDNO, "No", mbNo},
    {"ok", IDOK, "OK", mbOK},
    {"cancel", IDCANCEL, "Cancel", mbCancel},
}};

// The answers each kind of message box (MB_OK ... MB_RETRYCANCEL) offers.
const std::array<std::vector<int>, 6> kBoxAnswers = {{
    {IDOK},
    {IDOK, IDCANCEL},
    {IDABORT, IDRETRY, IDIGNORE},
    {IDYES, IDNO, IDCANCEL},
    {IDYES, IDNO},
    {IDRETRY, IDCANCEL},
}};

const Reply* FindReply(const std::string& word) {
  for (const Reply& r : kReplies)
    if (word == r.word) return &r;
  return nullptr;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// A button's caption without its accelerator mark.
std::string PlainCaption(const std::string& caption) {
  std::string plain;
  for (char c : caption)
    if (c != '&') plain += c;
  return plain;
}

// Whether the box has the button of that answer (IDOK ...).
bool Offers(const MessageBoxRecord& box, int answer) {
  if (box.kind == MessageBoxRecord::Dialog) {
    for (const Reply& r : kReplies)
      if (r.boxAnswer == answer) return (box.dialogButtons & r.dialogButton) != 0;
    return (box.dialogButtons & mbAbort) != 0 && answer == IDABORT;
  }
  const UINT type = box.flags & MB_TYPEMASK;
  if (type >= kBoxAnswers.size()) return false;
  const std::vector<int>& offered = kBoxAnswers[type];
  return std::find(offered.begin(), offered.end(), answer) != offered.end();
}

// The answer that takes nothing of a box: the one that declines, so that
// what the box asks is not done.
int DecliningAnswer(const MessageBoxRecord& box) {
  for (const int answer : {IDCANCEL, IDNO, IDABORT, IDOK})
    if (Offers(box, answer)) return answer;
  return 0;
}

// The button a person answers the reply with: the one captioned so.
TButton* ReplyButton(const TCustomForm& form, const Reply& reply) {
  for (int i = 0; i < form.ComponentCount(); ++i) {
    auto* button = dynamic_cast<TButton*>(form.Components(i));
    if (button != nullptr && Lower(PlainCaption(button->Caption())) == Lower(reply.caption)) return button;
  }
  return nullptr;
}

// What keeps a form from taking the answer, a phrase each: a check box
// named that it lacks (or that names another kind of component), the
// reply's button. None when it can take it.
std::vector<std::string> FormFaults(const TCustomForm& form, const HostAnswer& answer, const Reply& reply) {
  const std::string formName = "the form " + form.ClassName();
  std::vector<std::string> faults;
  for (const std::string& name : answer.checkBoxes) {
    const TComponent* component = form.FindComponent(name);
    if (dynamic_cast<const TCheckBox*>(component) != nullptr) continue;
    faults.push_back(formName + " has no check box " + name);
    if (component != nullptr) faults.back() += " (" + name + " is a " + component->ClassName() + ")";
  }
  if (ReplyButton(form, reply) == nullptr) faults.push_back(formName + " has no " + reply.caption + " button");
  return faults;
}

// The result that takes nothing of a form: that of its own button that
// declines (Cancel, else No, else Abort), else what closing its window
// gives. A form without Cancel may take any result but its No's as consent.
int DecliningResult(const TCustomForm& form) {
  for (const TModalResult result : {mrCancel, mrNo, mrAbort})
    for (int i = 0; i < form.ComponentCount(); ++i)
      if (auto* button = dynamic_cast<TButton*>(form.Components(i)); button != nullptr && button->ModalResult == result)
        return result;
  return mrCancel;
}

// Ticks the check boxes, then clicks the reply's button; the form can take
// the answer (FormFaults found nothing).
int AnswerForm(TCustomForm& form, const HostAnswer& answer, const Reply& reply) {
  for (const std::string& name : answer.checkBoxes)
    dynamic_cast<TCheckBox&>(*form.FindComponent(name)).SetChecked(true);
  Driver::Click(ReplyButton(form, reply));
  return mrNone;
}

// A box's text on one line.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

std::string BoxAnswerWord(int answer) {
  for (const Reply& r : kReplies)
    if (r.boxAnswer == answer) return r.caption;
  return std::to_string(answer);
}

}  // namespace

bool ParseHostAnswers(const std::vector<std::string>& texts, std::vector<HostAnswer>& answers, std::ostream& err) {
  for (const std::string& text : texts) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
      err << "--answer takes WHAT=REPLY (a part of the question's text or a form's class, then yes, no, ok or "
          << "cancel), not \"" << text << "\"\n";
      return false;
    }
    HostAnswer answer;
    answer.what = text.substr(0, equals);
    std::string rest = text.substr(equals + 1);
    std::size_t plus = rest.find('+');
    answer.reply = Lower(rest.substr(0, plus));
    while (plus != std::string::npos) {
      const std::size_t next = rest.find('+', plus + 1);
      answer.checkBoxes.push_back(rest.substr(plus + 1, next == std::string::npos ? next : next - plus - 1));
      plus = next;
    }
    if (FindReply(answer.reply) == nullptr) {
      err << "--answer " << text << ": the reply is yes, no, ok or cancel, not \"" << answer.reply << "\"\n";
      return false;
    }
    if (std::find(answer.checkBoxes.begin(), answer.checkBoxes.end(), "") != answer.checkBoxes.end()) {
      err << "--answer " << text << ": a check box's name is empty\n";
      return false;
    }
    answers.push_back(std::move(answer));
  }
  return true;
}

HostAnswerScope::HostAnswerScope(const std::vector<HostAnswer>& answers) : uses_(answers.size()) {
  for (std::size_t i = 0; i < answers.size(); ++i) {
    const HostAnswer& answer = answers[i];
    const Reply& reply = *FindReply(answer.reply);
    Use& use = uses_[i];
    use.text = answer.what + "=" + answer.reply;
    for (const std::string& box : answer.checkBoxes) use.text += "+" + box;
    handlers_.push_back(Driver::OnMessageBox(answer.what, [this, answer, &reply, &use](const MessageBoxRecord& box) {
      if (Offers(box, reply.boxAnswer) && answer.checkBoxes.empty()) {
        ++use.answered;
        return reply.boxAnswer;
      }
      // Not the box's default: a run whose answer fails applies nothing of
      // the box, and stops there.
      const std::string boxName = "the message box \"" + OneLine(box.text) + "\"";
      if (!Offers(box, reply.boxAnswer)) use.faults.push_back(boxName + " has no " + reply.caption + " button");
      for (const std::string& name : answer.checkBoxes) use.faults.push_back(boxName + " has no check box " + name);
      failed_ = true;
      return DecliningAnswer(box);
    }));
    handlers_.push_back(Driver::OnModal(answer.what, [this, answer, &reply, &use](TCustomForm& form) {
      std::vector<std::string> faults = FormFaults(form, answer, reply);
      if (faults.empty()) {
        ++use.answered;
        return AnswerForm(form, answer, reply);
      }
      use.faults.insert(use.faults.end(), faults.begin(), faults.end());
      failed_ = true;
      return DecliningResult(form);
    }));
  }
}

std::vector<std::string> HostAnswerScope::Faults() const {
  std::vector<std::string> lines;
  for (const Use& use : uses_) {
    if (use.answered != 0 && use.faults.empty()) continue;
    std::string line = "--answer \"" + use.text + "\"";
    if (use.answered == 0) line += " answered no question";
    // The faults stand side by side: none is the cause of the next.
    for (std::size_t f = 0; f < use.faults.size(); ++f) line += (f == 0 ? ": " : "; ") + use.faults[f];
    lines.push_back(std::move(line));
  }
  return lines;
}

HostAnswerScope::~HostAnswerScope() {
  for (int id : handlers_) Driver::RemoveHandler(id);
}

namespace {

// Who gave an answer: a script's --answer, the person on the screen, or
// nobody (the default answer).
const char* AnsweredBy(bool byHandler, bool byPerson) {
  return byHandler ? " (--answer)" : byPerson ? " (by the person)" : " (default)";
}

// The form in which a box stands on the screen: the box itself is listed.
constexpr const char* kBoxFormClass = "TMessageForm";

}  // namespace

std::vector<std::string> QuestionsAskedSince(std::size_t boxesBefore, std::size_t modalsBefore) {
  std::vector<std::pair<unsigned long long, std::string>> shown;
  const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
  for (std::size_t i = boxesBefore; i < boxes.size(); ++i) {
    const MessageBoxRecord& box = boxes[i];
    shown.emplace_back(box.shownOrder, "message box \"" + box.caption + "\": \"" + OneLine(box.text) + "\" answered " +
                                           BoxAnswerWord(box.answer) +
                                           AnsweredBy(box.answeredByHandler, box.answeredByPerson));
  }
  const std::vector<Driver::ModalRecord> modals = Driver::ModalLog();
  for (std::size_t i = modalsBefore; i < modals.size(); ++i) {
    const Driver::ModalRecord& form = modals[i];
    if (form.className == kBoxFormClass) continue;
    shown.emplace_back(form.shownOrder, "modal form " + form.className + " \"" + form.caption +
                                            "\" closed with result " + std::to_string(form.result) +
                                            AnsweredBy(form.answeredByHandler, form.answeredByPerson));
  }
  // A form is recorded when it closes, after the boxes it showed meanwhile.
  std::stable_sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> lines;
  for (auto& entry : shown) lines.push_back(std::move(entry.second));
  return lines;
}
