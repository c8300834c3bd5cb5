#include "designer/ProjectDocumentUi.h"

#include "core/TraceLog.h"
#include "platform/win/MessageBox.h"

void TDesignerProjectUi::ShowMessage(const std::string& text, const std::string& caption, TIcon icon) {
  const UINT iconFlag = icon == TIcon::Error ? MB_ICONERROR : MB_ICONWARNING;
  MessageBox(nullptr, text.c_str(), caption.c_str(), MB_OK | iconFlag | MB_TOPMOST);
}

void TDesignerProjectUi::Trace(const std::string& text) { WriteTraceLog(text); }

bool TDesignerProjectUi::Ask(const std::string& text, const std::string& caption) {
  return MessageBox(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST) ==
         IDYES;
}
