#include "platform/win/MessageBox.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace {

struct Registry {
  std::mutex mutex;
  struct Entry {
    int id;
    std::string textPart;
    MessageBoxHandler handler;
  };
  std::vector<Entry> handlers;
  int nextId = 1;
  std::vector<MessageBoxRecord> log;
  MessageBoxPresenter presenter;
};

Registry& State() {
  static Registry* registry = new Registry;  // used until the process ends
  return *registry;
}

// The answers of the buttons of a box type, in button order.
std::vector<int> Buttons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
  }
}

int Unanswered(UINT type) {
  const std::vector<int> buttons = Buttons(type);
  if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end()) return IDCANCEL;
  if (buttons.size() == 1) return buttons.front();
  const std::size_t def = (type & MB_DEFMASK) >> 8;
  return def < buttons.size() ? buttons[def] : buttons.front();
}

}  // namespace

unsigned long long NextShownOrder() {
  static std::atomic<unsigned long long> next{1};
  return next++;
}

int AddMessageBoxHandler(const std::string& textPart, MessageBoxHandler handler) {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  const int id = r.nextId++;
  r.handlers.push_back({id, textPart, std::move(handler)});
  return id;
}

void RemoveMessageBoxHandler(int id) {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::erase_if(r.handlers, [id](const Registry::Entry& e) { return e.id == id; });
}

void SetMessageBoxPresenter(MessageBoxPresenter presenter) {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.presenter = std::move(presenter);
}

void ClearMessageBoxHandlers() {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.handlers.clear();
}

std::vector<MessageBoxRecord> MessageBoxLog() {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.log;
}

void ClearMessageBoxLog() {
  Registry& r = State();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.log.clear();
}

int AnswerMessageBox(MessageBoxRecord box, const std::vector<int>& validAnswers, int unanswered) {
  Registry& r = State();
  MessageBoxHandler handler;
  MessageBoxPresenter presenter;
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    presenter = r.presenter;
    for (auto it = r.handlers.rbegin(); it != r.handlers.rend(); ++it) {
      if (box.text.find(it->textPart) != std::string::npos) {
        handler = it->handler;
        break;
      }
    }
  }
  if (box.shownOrder == 0) box.shownOrder = NextShownOrder();
  int answer = 0;
  if (handler) {
    answer = handler(box);
    if (answer != 0 && std::find(validAnswers.begin(), validAnswers.end(), answer) == validAnswers.end())
      throw std::invalid_argument("message box handler answered " + std::to_string(answer) +
                                  ", which is not a button of the box \"" + box.text + "\"");
  }
  box.answeredByHandler = answer != 0;
  if (!handler && presenter) {
    answer = presenter(box, validAnswers);
    if (std::find(validAnswers.begin(), validAnswers.end(), answer) == validAnswers.end()) answer = 0;
    box.answeredByPerson = answer != 0;
  }
  box.answer = answer != 0 ? answer : unanswered;
  std::lock_guard<std::mutex> lock(r.mutex);
  r.log.push_back(box);
  return box.answer;
}

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  MessageBoxRecord box;
  box.kind = MessageBoxRecord::Box;
  box.owner = owner;
  box.text = text != nullptr ? text : "";
  box.caption = caption != nullptr ? caption : "Error";
  box.flags = type;
  return AnswerMessageBox(std::move(box), Buttons(type), Unanswered(type));
}
