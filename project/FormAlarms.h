#pragma once
// TFormAlarms: the project's eight alarms, each a PLC variable and the page
// to show when it signals, edited in eight rows (TFramAlarm) and written
// into the project's `alarms` element on OK (nothing is written on Cancel).

#include <array>
#include <string>

#include "platform/vcl/Form.h"
#include "platform/vcl/Frame.h"

class TButton;
class TEdit;
class TLabel;
class TDesignerContext;
class TmyXmlNode;

inline constexpr int kAlarmRows = 8;

class TFramAlarm : public TFrame {
 public:
  static constexpr int kHeight = 30;
  static constexpr int kWidth = 520;

  explicit TFramAlarm(TComponent* owner);

  TLabel* lblNum = nullptr;
  TEdit* edtVariable = nullptr;
  TButton* Button3 = nullptr;
  TEdit* cbStartPage = nullptr;
  TDesignerContext* Designer = nullptr;

  // The page text as shown and the page name it stands for.
  void SetPage(const std::string& text, const std::string& pageName);
  // The page name to store: the chosen or loaded page's name while its text
  // is shown; for a typed text the part after its " - " separator, or the
  // whole text when it holds no "-".
  std::string PageName() const;

  void edtVariableChange(TObject* sender);
  void cbStartPageChange(TObject* sender);
  void Button3Click(TObject* sender);
  void cbStartPageMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void PageMenuClick(TObject* sender);

 private:
  void UpdatePageColour();

  // The page name behind the shown text, and the text it was shown as.
  std::string pageName_;
  std::string pageText_;
};

class TFormAlarms : public TForm {
 public:
  explicit TFormAlarms(TComponent* owner);

  TLabel* lblPriority = nullptr;
  TLabel* lblVariable = nullptr;
  TLabel* lblPage = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  // FramAlarm1 .. FramAlarm8, top to bottom.
  std::array<TFramAlarm*, kAlarmRows> Rows{};
  TDesignerContext* Designer = nullptr;
  // The element found at load, or null.
  TmyXmlNode* AlarmsNode = nullptr;

  void SetCaptions();
  void SetPageList(TDesignerContext* designer);
  void LoadFromXml(TmyXmlNode* alarms);
  void Button1Click(TObject* sender);
};
