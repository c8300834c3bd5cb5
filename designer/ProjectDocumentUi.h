#pragma once
// What the project document asks of the window around it: a message box for
// the user and a line of the trace log. The window passes TDesignerProjectUi;
// tests pass a recorder.

#include <string>

class TProjectDocumentUi {
 public:
  enum class TIcon { Error, Warning };

  virtual ~TProjectDocumentUi() = default;
  // A box without owner window, topmost, with one OK button.
  virtual void ShowMessage(const std::string& text, const std::string& caption, TIcon icon) = 0;
  virtual void Trace(const std::string& text) = 0;
  // A question with Yes and No, No the default; true for Yes. Without a
  // window to ask in, the default holds.
  virtual bool Ask(const std::string& /*text*/, const std::string& /*caption*/) { return false; }
};

// The designer's own: the platform's message box and the trace log.
class TDesignerProjectUi : public TProjectDocumentUi {
 public:
  void ShowMessage(const std::string& text, const std::string& caption, TIcon icon) override;
  void Trace(const std::string& text) override;
  bool Ask(const std::string& text, const std::string& caption) override;
};
