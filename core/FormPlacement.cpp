#include "core/FormPlacement.h"

#include <climits>
#include <string>

#include "platform/vcl/Form.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/Screen.h"

namespace {

// (low + high - size) / 2 rounded down, kept inside the range of an int
// (sizes come from a settings file and may be anything).
int CentredStart(int low, int high, int size) {
  long long twice = static_cast<long long>(low) + high - size;
  long long start = twice >= 0 ? twice / 2 : -((-twice + 1) / 2);
  if (start < INT_MIN) return INT_MIN;
  if (start > INT_MAX) return INT_MAX;
  return static_cast<int>(start);
}

TRect WorkAreaAtCursor() {
  TMonitor* monitor = Screen->MonitorFromPoint(Mouse->CursorPos(), mdNearest);
  return monitor != nullptr ? monitor->WorkareaRect() : Screen->WorkAreaRect();
}

}  // namespace

void RestoreFormPlacement(const std::string& section, TCustomForm* form, TIniFile* iniFile) {
  const TRect workArea = WorkAreaAtCursor();
  if (iniFile == nullptr || form == nullptr) return;
  form->SetHeight(iniFile->ReadInteger(section, "Height", form->Height()));
  form->SetWidth(iniFile->ReadInteger(section, "Width", form->Width()));
  form->SetTop(iniFile->ReadInteger(section, "Top", CentredStart(workArea.Top, workArea.Bottom, form->Height())));
  form->SetLeft(iniFile->ReadInteger(section, "Left", CentredStart(workArea.Left, workArea.Right, form->Width())));
  if (Screen->MonitorFromRect(form->BoundsRect(), mdNull) != nullptr) return;
  TMonitor* nearest = Screen->MonitorFromRect(form->BoundsRect(), mdNearest);
  const TRect area = nearest != nullptr ? nearest->WorkareaRect() : Screen->WorkAreaRect();
  form->SetTop(CentredStart(area.Top, area.Bottom, form->Height()));
  form->SetLeft(CentredStart(area.Left, area.Right, form->Width()));
}

void PlaceFormAtCursor(const std::string& section, TCustomForm* form, TIniFile* iniFile) {
  RestoreFormPlacement(section, form, iniFile);
}

void SaveFormPlacement(const std::string& section, TCustomForm* form, TIniFile* iniFile) {
  if (iniFile == nullptr || form == nullptr) return;
  iniFile->WriteStrings(section, {{"Height", std::to_string(form->Height())},
                                  {"Width", std::to_string(form->Width())},
                                  {"Top", std::to_string(form->Top())},
                                  {"Left", std::to_string(form->Left())}});
}
