// A full disk at every write of the project dialogs' commands that write the
// user's files: the image manager's add and OK, the translation import and
// the access settings' OK. Whichever write fails, every file of the web
// project holds its state of before or after the command, and a box tells
// the user.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "designer/FormDesign1.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/win/MessageBox.h"
#include "project/FormImageManager.h"
#include "project/FormPasswords.h"
#include "project/FramUser.h"
#include "tests/project/ProjectDialogTest.h"
#include "tests/support/WriteFaultSweep.h"

using namespace projecttest;

namespace {

namespace fs = std::filesystem;

// Every file, the import's report too: a full disk leaves it whole or as it was.
bool IsUserFile(const std::string&) { return true; }

// A box other than the import's closing question.
bool UserWasTold() {
  for (const MessageBoxRecord& box : MessageBoxLog())
    if (box.text.find("Texts has been imported") == std::string::npos) return true;
  return false;
}

// Told, and no box twice: each fault is told once in a command.
bool ToldOnce() {
  std::set<std::string> texts;
  for (const MessageBoxRecord& box : MessageBoxLog())
    if (!texts.insert(box.text).second) return false;
  return UserWasTold();
}

class DialogWriteFault : public ProjectDialogTest {
 protected:
  // The project with `webChildren`, and `more` files below "Tarnwell/".
  void Put(const std::string& webChildren, const std::vector<std::pair<std::string, std::string>>& more = {}) {
    fs::remove_all(folder.Path() / "Tarnwell");
    PutProject(ProjectWith(webChildren));
    for (const auto& [name, bytes] : more) folder.Write("Tarnwell/" + name, bytes);
  }

  void Sweep(const std::function<void()>& put, const std::function<void()>& prepare, const std::function<void()>& act) {
    writefault::Sweep(
        folder.Path() / "Tarnwell", IsUserFile,
        {put,
         [&] {
           prepare();
           ClearMessageBoxLog();
         },
         act, [] { EXPECT_FALSE(UserWasTold()); }, [](const std::string& run) { EXPECT_TRUE(ToldOnce()) << run; },
         [this] {
           manager.reset();
           designer.reset();
           Driver::Reset();
         }});
  }

  std::unique_ptr<TFormImageManager> manager;
};

// With TANK shown while the add fails, TANK's file keeps its name.
TEST_F(DialogWriteFault, ImageManagerAddAndOk) {
  const auto demo = [](const std::string& name) {
    return windowtest::ReadBytes(windowtest::SourcePath("examples/demo/Tarnwell/Images/" + name));
  };
  folder.Write("src/pump.png", demo("pump_on.png"));
  Sweep(
      [this, &demo] {
        Put("<images><img name=\"PUMP.PNG\" type=\"PNG\" height=\"32\" width=\"32\" longname=\"PUMP\" />"
            "<img name=\"TANK.PNG\" type=\"PNG\" height=\"20\" width=\"20\" longname=\"TANK\" /></images>",
            {{"Images/PUMP.PNG", demo("pump_off.png")}, {"Images/TANK.PNG", demo("lamp_on.png")}});
      },
      [this] {
        OpenDesigner();
        Find("page")->AddChild("object")->AddChild("picture")->SetAttr("img", "TANK.PNG");
        manager = std::make_unique<TFormImageManager>(designer.get());
        manager->Designer = designer.get();
        manager->LoadXML(designer->Document().Images());
        manager->SelectImage("TANK.PNG");
      },
      [this] {
        manager->AddFiles({folder.System("src\\pump.png")});
        manager->Button1Click(manager->Button1);
      });
}

// Without languages one file; with two, the project is saved once for both.
TEST_F(DialogWriteFault, TranslationImport) {
  const std::string texts = "    {Object 000 : 00000005}\r\n      {Caption0}Sensor\r\n";
  for (const char* languages :
       {"", "<Languages enabled=\"1\"><Language Code=\"5\" /><Language Code=\"7\" /></Languages>"}) {
    Sweep(
        [&] {
          Put(languages, {{"Language/Texts.txt", texts},
                          {"Language/Czech_Texts.txt", texts},
                          {"Language/German_Texts.txt", texts}});
        },
        [this] {
          OpenDesigner();
          Driver::AnswerMessageBox("Texts has been imported", IDNO);
        },
        [this] { designer->ImportTexts1Click(nullptr); });
  }
}

TEST_F(DialogWriteFault, AccessSettingsOk) {
  Sweep([this] { Put("<security crypt=\"0\" />"); },
        [this] {
          OpenDesigner();
          Driver::OnModal("TFormPasswords", [](TCustomForm& form) {
            auto& passwords = dynamic_cast<TFormPasswords&>(form);
            passwords.UserRows[0]->edtUser->SetText("operator");
            Driver::Click(passwords.Button1);
            return mrNone;
          });
        },
        [this] { ClickButton(designer->btnPass); });
}

}  // namespace
