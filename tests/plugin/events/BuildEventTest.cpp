// The host's build event: the marker file, the one-time question, the check
// of the variables' positions and the time stamps decide whether the web
// pages are compiled; the questions are answered through the UI layer's
// driver (the message box, and the dialog's buttons and check box).

#include <gtest/gtest.h>

#include "EventsFixture.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ControlTypes.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Label.h"
#include "platform/win/MessageBox.h"
#include "plugin/DesignerLink.h"
#include "plugin/PluginState.h"
#include "project/FormSimpleMessage.h"

namespace {

using eventstest::ReadFile;
using eventstest::WriteFile;

// A variables document, laid out as a compilation writes it, whose one
// variable no longer lies where it was.
constexpr const char* kMovedVariables =
    "<Variables>\r\n\t<Item Name=\"NoSuchVariable\" Pos=\"1234\" Tdi=\"1\" Ccd=\"1\" Type=\"1\" />\r\n"
    "</Variables>\r\n";
// The project file beside it: a compiled project has one (without it the
// project counts as lost, and a compile is refused).
constexpr const char* kCompiledProject =
    "<web version=\"8.1\"><group caption=\"\"><page caption=\"Index\" name=\"PAGE1.XML\" default=\"true\">"
    "</page></group><images></images></web>";
constexpr const char* kAskOnceText = "Do you want to compile web pages during project compilation?";
constexpr const char* kVariablesText = "Variables address were changed, recompile web pages?";
constexpr const char* kPagesText = "Web pages were modified, recompile?";
// A compile time the compilation never writes.
constexpr const char* kOldCompileTime = "100";

enum class Designer { kClosed, kOpen };
enum Answer { kNoAnswer = 0, kYes, kNo, kYesChecked, kNoChecked };

struct Row {
  const char* name;
  bool marker;
  Designer designer;
  const char* ask;  // "Ask" before: "<none>", "0" or "1"
  bool variablesMoved;
  const char* saveTime;  // "SaveTD" before ("<none>" absent); "CompileTD" is kOldCompileTime
  Answer onceAnswer;
  Answer dialogAnswer;  // every dialog of the build answers this
  // Expected:
  std::vector<std::string> questions;  // in order: "once", "variables", "pages"
  bool compiled;
  bool markerAfter;
  const char* askAfter;
  bool variablesAfter;  // the variables document exists afterwards
  const char* saveTimeAfter;
  bool designerShown;  // the designer exists and is visible afterwards
};

class BuildEvent : public eventstest::EventsFixture, public ::testing::WithParamInterface<Row> {
 protected:
  void Arrange(const Row& row) {
    if (row.marker) WriteFile(WebFile(".auto"), "On");
    if (std::string(row.ask) != "<none>") SetSetting("Settings", "Ask", row.ask);
    if (std::string(row.saveTime) != "<none>") SetSetting("TimeStamps", "SaveTD", row.saveTime);
    SetSetting("TimeStamps", "CompileTD", kOldCompileTime);
    if (row.variablesMoved) {
      WriteFile(WebFile("_var.xml"), kMovedVariables);
      WriteFile(WebFile(".xml"), kCompiledProject);
    }
    if (row.designer == Designer::kOpen) OpenDesigner(false);
    AnswerQuestions(row);
  }

  void AnswerQuestions(const Row& row) {
    AddMessageBoxHandler(kAskOnceText, [this, answer = row.onceAnswer](const MessageBoxRecord& box) {
      asked.push_back("once");
      EXPECT_EQ(box.caption, "Tarnwell");
      EXPECT_EQ(box.flags, MB_YESNO | MB_TOPMOST);
      EXPECT_EQ(box.owner, nullptr);
      return answer == kYes ? IDYES : IDNO;
    });
    Driver::OnModal("TFormSimpleMessage", [this, answer = row.dialogAnswer](TCustomForm& form) {
      auto& dialog = dynamic_cast<TFormSimpleMessage&>(form);
      const std::string text = dialog.Message1->Caption();
      asked.push_back(text == kVariablesText ? "variables" : text == kPagesText ? "pages" : text);
      if (answer == kYesChecked || answer == kNoChecked) dialog.cbAskNextTime->SetChecked(true);
      return answer == kYes || answer == kYesChecked ? mrOk : mrCancel;
    });
  }

  std::vector<std::string> asked;
};

TEST_P(BuildEvent, DecidesAsksAndCompiles) {
  const Row& row = GetParam();
  Arrange(row);
  EXPECT_EQ(plugin->OnLinkingExtendedProgMap(0, 0, 0, 0, 0, 0), S_OK);

  EXPECT_EQ(asked, row.questions);
  EXPECT_EQ(Setting("TimeStamps", "CompileTD") != kOldCompileTime, row.compiled);
  EXPECT_EQ(std::filesystem::exists(WebFile(".auto")), row.markerAfter);
  if (row.markerAfter && !row.marker) {
    EXPECT_EQ(ReadFile(WebFile(".auto")), "On");
  }
  EXPECT_EQ(Setting("Settings", "Ask"), row.askAfter);
  EXPECT_EQ(std::filesystem::exists(WebFile("_var.xml")), row.variablesAfter);
  EXPECT_EQ(Setting("TimeStamps", "SaveTD"), row.saveTimeAfter);
  EXPECT_EQ(FormDesign1 != nullptr && FormDesign1->Visible(), row.designerShown);
  // A designer the build opened for its compile stays open.
  if (row.compiled) {
    EXPECT_NE(FormDesign1, nullptr);
  }
}

using BuildEventStatus = eventstest::EventsFixture;

TEST_F(BuildEventStatus, TheCompileReportsToTheHostsStatusWindowAndEndsTheHostBuild) {
  WriteFile(WebFile(".auto"), "On");
  const auto handle = reinterpret_cast<std::uintptr_t>(window->Handle());
  ASSERT_LE(handle, 0xFFFFFFFFu);
  EXPECT_EQ(plugin->OnLinkingExtendedProgMap(static_cast<std::uint32_t>(handle), 0, 0, 0, 0, 0), S_OK);
  ASSERT_NE(FormDesign1, nullptr);
  EXPECT_EQ(FormDesign1->compileState.hostStatusWindow, window->Handle());
  EXPECT_FALSE(FormDesign1->compileState.compileForHost) << "the compilation clears the host-build flag";
  EXPECT_FALSE(FormDesign1->Visible());
  EXPECT_FALSE(window->StatusTexts().empty()) << "the progress went to the host's status window";
  // Quiet for the host's build: no status window of its own was shown.
  EXPECT_TRUE(Driver::ModalLog().empty());
}

// clang-format off
const Row kRows[] = {
  // The marker alone decides: nothing is asked, even with "Ask" on and moved variables.
  {"MarkerCompilesSilently", true, Designer::kClosed, "1", true, "500", kYes, kYes,
   {}, true, true, "1", true, "500", false},
  // Designer closed: no one-time question, "Ask" keeps its value; nothing else waits.
  {"ClosedDesignerIsNotAskedOnce", false, Designer::kClosed, "<none>", false, "<none>", kYes, kYes,
   {}, false, false, "<none>", false, "<none>", false},
  {"OnceYesMakesTheMarkerAndCompiles", false, Designer::kOpen, "<none>", false, "500", kYes, kYes,
   {"once"}, true, true, "0", true, "500", false},
  {"OnceNoLeavesTheMarkerAbsent", false, Designer::kOpen, "1", false, "<none>", kNo, kYes,
   {"once"}, false, false, "0", false, "<none>", false},
  {"OnceNoThenPagesQuestion", false, Designer::kOpen, "1", false, "500", kNo, kNo,
   {"once", "pages"}, false, false, "0", false, "500", false},
  {"AskOffAsksOnceNoMore", false, Designer::kOpen, "0", false, "<none>", kYes, kYes,
   {}, false, false, "0", false, "<none>", false},
  // Moved variables: Yes shows the designer (opened visible) and compiles.
  {"VariablesYesShowsAndCompiles", false, Designer::kClosed, "1", true, "<none>", kNoAnswer, kYes,
   {"variables"}, true, false, "1", true, "<none>", true},
  {"VariablesYesCheckedDeletesTheNewDocument", false, Designer::kClosed, "1", true, "<none>", kNoAnswer, kYesChecked,
   {"variables"}, true, false, "1", false, "<none>", true},
  {"VariablesNoKeepsTheDocument", false, Designer::kClosed, "1", true, "<none>", kNoAnswer, kNo,
   {"variables"}, false, false, "1", true, "<none>", false},
  {"VariablesNoCheckedDeletesTheDocument", false, Designer::kClosed, "1", true, "<none>", kNoAnswer, kNoChecked,
   {"variables"}, false, false, "1", false, "<none>", false},
  // Variables answered No: the pages' question follows.
  {"VariablesNoThenPagesNoChecked", false, Designer::kClosed, "1", true, "500", kNoAnswer, kNoChecked,
   {"variables", "pages"}, false, false, "1", false, "0", false},
  // Once Yes compiles: the variables of the fresh document did not move, no pages' question.
  {"OnceYesSkipsThePagesQuestion", false, Designer::kOpen, "1", false, "99999", kYes, kYes,
   {"once"}, true, true, "0", true, "99999", false},
  // Pages saved after the last compilation.
  {"PagesYesOpensHiddenAndCompiles", false, Designer::kClosed, "1", false, "500", kNoAnswer, kYes,
   {"pages"}, true, false, "1", true, "500", false},
  {"PagesYesCheckedClearsSaveTime", false, Designer::kClosed, "1", false, "500", kNoAnswer, kYesChecked,
   {"pages"}, true, false, "1", true, "0", false},
  {"PagesNo", false, Designer::kClosed, "1", false, "500", kNoAnswer, kNo,
   {"pages"}, false, false, "1", false, "500", false},
  {"PagesNoCheckedClearsSaveTime", false, Designer::kClosed, "1", false, "500", kNoAnswer, kNoChecked,
   {"pages"}, false, false, "1", false, "0", false},
  {"SaveTimeEqualToCompileTimeAsksNothing", false, Designer::kClosed, "1", false, kOldCompileTime, kNoAnswer, kYes,
   {}, false, false, "1", false, kOldCompileTime, false},
  {"SaveTimeZeroAsksNothing", false, Designer::kClosed, "1", false, "0", kNoAnswer, kYes,
   {}, false, false, "1", false, "0", false},
  {"SaveTimeBeforeCompileTimeAsksNothing", false, Designer::kClosed, "1", false, "50", kNoAnswer, kYes,
   {}, false, false, "1", false, "50", false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, BuildEvent, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

}  // namespace
