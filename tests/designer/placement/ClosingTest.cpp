// Closing the designer window: the close query refuses while the pages are
// created or a file upload runs, saves when asked to, and ends the live view
// (its windows, its variable entries, the read items the host holds);
// closing stores the placement, empties the download folder and hides the
// window; destruction stores the custom colours and leaves no designer.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>

#include "designer/CustomColors.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Registry.h"
#include "platform/vcl/StringList.h"
#include "project/DebugList.h"
#include "tests/designer/placement/PlacementTestSupport.h"

using namespace placementtest;

namespace {

constexpr const char* kProject =
    "<web version=\"8.1\" MaxUid=\"100\">\r\n"
    "<group caption=\"G\" Uid=\"1\">\r\n"
    "<page caption=\"One\" name=\"ONE.XML\" Uid=\"2\">\r\n"
    "<object caption=\"Hello\" X=\"2\" Y=\"3\" Uid=\"10\"><label /></object>\r\n"
    "</page>\r\n"
    "</group>\r\n"
    "</web>";

class Closing : public PlacementTest {
 protected:
  // A designer showing the project, changed since it was loaded.
  TFormDesign1& ChangedDesigner() {
    folder.Write("Tarnwell/Proj.xml", kProject);
    TFormDesign1& d = MakeDesigner();
    d.Show();
    d.FTreeChangeSuppressed = false;
    d.SetModified();
    return d;
  }
  bool Saved() const { return Settings().find("SaveTD=") != std::string::npos; }
  // The trace lines from the last one that reads `first` on.
  std::vector<std::string> LinesFrom(const std::string& first) const {
    const std::vector<std::string> lines = TraceLines();
    const auto last = std::find(lines.rbegin(), lines.rend(), first);
    if (last == lines.rend()) return {};
    return std::vector<std::string>(std::prev(last.base()), lines.end());
  }
  bool CloseQuery() {
    bool canClose = false;
    designer->OnCloseQuery(designer.get(), canClose);
    return canClose;
  }
};

// A live-view window that leaves the designer's list when it closes, as they
// all do; `stays` makes one that forgets to.
class TLiveWindow : public TForm {
 public:
  TLiveWindow(TFormDebugList& list, bool stays) : TForm(nullptr), list_(list) {
    if (!stays) OnClose = [this](TObject*, TCloseAction&) { list_.Remove(this); };
    list_.Add(this);
    Show();
  }

 private:
  TFormDebugList& list_;
};

TEST_F(Closing, WhileThePagesAreCreatedTheWindowStaysAndNothingIsSaved) {
  TFormDesign1& d = ChangedDesigner();
  d.compileState.compileRunning = true;
  EXPECT_FALSE(CloseQuery());
  EXPECT_FALSE(Saved());
  EXPECT_EQ(host->liveViewStops, 0);
  EXPECT_TRUE(Traced("FormCloseQuery - end - Can't close - Creating pages"));
  d.Close();
  EXPECT_TRUE(d.Visible());
}

TEST_F(Closing, WhileAnUploadRunsTheProjectIsSavedButTheWindowStays) {
  TFormDesign1& d = ChangedDesigner();
  host->uploadRunning = true;
  EXPECT_FALSE(CloseQuery());
  EXPECT_TRUE(Saved());
  EXPECT_EQ(host->liveViewStops, 0);
  EXPECT_TRUE(Traced("FormCloseQuery - end - Can't close"));
  d.Close();
  EXPECT_TRUE(d.Visible());
}

TEST_F(Closing, TheSaveOnCloseFlagDecidesTheSaveOnceAndIsSetAgain) {
  TFormDesign1& d = ChangedDesigner();
  d.FSaveOnClose = false;
  EXPECT_TRUE(CloseQuery());
  EXPECT_FALSE(Saved());
  EXPECT_TRUE(d.FSaveOnClose);
  EXPECT_TRUE(d.Document().Modified());
  EXPECT_TRUE(CloseQuery());
  EXPECT_TRUE(Saved());
  EXPECT_FALSE(d.Document().Modified());
}

// Changes the save cannot write keep the window open where it may refuse to
// close; a close that cannot wait says they are lost and where the project as
// it was saved is.
TEST_F(Closing, AFailedSaveKeepsTheWindowOrSaysTheChangesAreLost) {
  for (const bool forced : {false, true}) {
    SCOPED_TRACE(forced ? "forced" : "may refuse");
    TFormDesign1& d = ChangedDesigner();
    std::filesystem::create_directories(folder.Native("Tarnwell/Proj.xml.bak"));
    d.FCloseForced = forced;
    const std::size_t boxes = Driver::MessageBoxes().size();
    EXPECT_EQ(CloseQuery(), forced);
    ASSERT_EQ(Driver::MessageBoxes().size(), boxes + 1);
    const std::string told = Driver::MessageBoxes().back().text;
    EXPECT_EQ(told.find("the changes are kept in the designer"), std::string::npos) << told;
    EXPECT_NE(told.find(forced ? "The project closes now, so the changes are lost; \"" +
                                     folder.Native("Tarnwell/Proj.xml") + "\" holds the project as it was last saved."
                               : "The designer stays open with the changes"),
              std::string::npos)
        << told;
    EXPECT_EQ(host->liveViewStops, forced ? 1 : 0);
    EXPECT_TRUE(d.Document().Modified());
    std::filesystem::remove(folder.Native("Tarnwell/Proj.xml.bak"));
  }
}

TEST_F(Closing, TheQueryEndsTheLiveView) {
  TFormDesign1& d = ChangedDesigner();
  d.FSaveOnClose = false;
  host->syncedRead = &syncedRead;
  TLiveWindow leaves(*d.FDebugList, false);
  TLiveWindow stays(*d.FDebugList, true);
  d.FReadItems.resize(3);
  for (std::uint32_t i = 0; i < 3; ++i) d.FReadItems[i].address = 100 + i;
  EXPECT_TRUE(CloseQuery());
  EXPECT_EQ(host->liveViewStops, 1);
  EXPECT_EQ(d.FDebugList->Count(), 0);
  EXPECT_FALSE(leaves.Visible());
  EXPECT_FALSE(stays.Visible());
  EXPECT_EQ(host->commItemFrees, 1);
  EXPECT_EQ(syncedRead.released, (std::vector<std::vector<std::uint32_t>>{{100, 101, 102}}));
  EXPECT_TRUE(d.FReadItems.empty());
  // The steps in their order (the removal of each window from the list, which
  // the designer hears of, and its activation in between aside).
  std::vector<std::string> steps = LinesFrom("FormCloseQuery");
  steps.erase(std::remove_if(
                  steps.begin(), steps.end(),
                  [](const std::string& line) { return line == "DebugListRemoved" || line == "ApplyLanguageTexts"; }),
              steps.end());
  EXPECT_EQ(steps, (std::vector<std::string>{"FormCloseQuery", "Close debug window", "ProcessMessages",
                                             "Close debug window", "ProcessMessages", "Delete CommItems",
                                             "ifHalvexSyncedPlcRead->ReleaseObjects", "FormCloseQuery - end"}));
}

TEST_F(Closing, ReadItemsWithoutTheHostsSynchronisedReadAreDropped) {
  TFormDesign1& d = ChangedDesigner();
  d.FReadItems.resize(2);
  EXPECT_TRUE(CloseQuery());
  EXPECT_TRUE(syncedRead.released.empty());
  EXPECT_TRUE(d.FReadItems.empty());
  EXPECT_FALSE(Traced("ifHalvexSyncedPlcRead->ReleaseObjects"));
}

TEST_F(Closing, ClosingStoresThePlacementFreesTheConvertorAndHides) {
  TFormDesign1& d = ChangedDesigner();
  d.FSaveOnClose = false;
  ide.dockPosition = 2;
  d.Close();
  EXPECT_FALSE(d.Visible());
  EXPECT_NE(Settings().find("[FormDesign1]\r\nDockPos=2\r\n"), std::string::npos) << Settings();
  EXPECT_EQ(d.FWebNameConvertor, nullptr);
  for (const char* line : {"FormClose", "Delete directory", "FormClose - end"}) EXPECT_TRUE(Traced(line)) << line;
}

TEST_F(Closing, WithoutTheIdeClosingWritesNoPlacement) {
  TFormDesign1& d = ChangedDesigner();
  d.FSaveOnClose = false;
  host->ide = nullptr;
  d.Close();
  EXPECT_FALSE(d.Visible());
  EXPECT_EQ(Settings().find("[FormDesign1]"), std::string::npos);
}

// The download folder is emptied only when it is the project's temporary
// folder or lies below it; a relative or empty one would name the working
// directory, which keeps its files.
class DownloadFolderOnClose : public Closing {
 protected:
  void SetUp() override {
    Closing::SetUp();
    previous_ = std::filesystem::current_path();
    folder.Write("work/keep.txt", "working directory");
    folder.Write("work/temp/keep.txt", "relative temp");
    std::filesystem::current_path(folder.Path() / "work");
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    Closing::TearDown();
  }
  void CloseWith(const std::string& downloads) {
    TFormDesign1& d = MakeDesigner();
    host->useDownloadFolder = true;
    host->downloadFolder = downloads;
    d.Close();
    designer.reset();
  }

 private:
  std::filesystem::path previous_;
};

TEST_F(DownloadFolderOnClose, TheProjectsTemporaryFolderIsEmptied) {
  folder.Write("Tarnwell/temp/RAM/pic.png", "picture");
  folder.Write("Tarnwell/temp/tmp.tmp", "partial");
  CloseWith(folder.System("Tarnwell\\temp\\"));
  EXPECT_TRUE(folder.IsFolder("Tarnwell/temp"));
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path() / "Tarnwell" / "temp"));
  EXPECT_TRUE(folder.Exists("work/keep.txt"));
}

TEST_F(DownloadFolderOnClose, TheDefaultFolderIsTheProjectsTemporaryFolder) {
  folder.Write("Tarnwell/temp/old.gif", "picture");
  MakeDesigner().Close();
  EXPECT_FALSE(folder.Exists("Tarnwell/temp/old.gif"));
}

TEST_F(DownloadFolderOnClose, AnEmptyOrRelativeFolderDeletesNothing) {
  folder.Write("Tarnwell/temp/kept.png", "picture");
  for (const char* downloads : {"", "temp\\", ".\\", "Tarnwell\\temp\\"}) {
    CloseWith(downloads);
    EXPECT_TRUE(folder.Exists("work/keep.txt")) << '"' << downloads << '"';
    EXPECT_TRUE(folder.Exists("work/temp/keep.txt")) << '"' << downloads << '"';
    EXPECT_TRUE(folder.Exists("Tarnwell/temp/kept.png")) << '"' << downloads << '"';
    EXPECT_TRUE(Traced(std::string("Delete directory - left alone: \"") + downloads + "\"")) << downloads;
  }
}

TEST_F(DownloadFolderOnClose, AFolderOutsideTheTemporaryFolderDeletesNothing) {
  folder.Write("Tarnwell/Proj.xml", kProject);
  folder.Write("Tarnwell/temp/kept.png", "picture");
  for (const std::string& downloads :
       {folder.System("Tarnwell\\"), folder.System("Tarnwell\\temp\\..\\"), folder.System("work\\")}) {
    CloseWith(downloads);
    EXPECT_TRUE(folder.Exists("Tarnwell/Proj.xml")) << downloads;
    EXPECT_TRUE(folder.Exists("work/keep.txt")) << downloads;
  }
}

TEST_F(DownloadFolderOnClose, ALinkOutOfTheTemporaryFolderDeletesNothing) {
  std::filesystem::create_directories(folder.Path() / "Tarnwell" / "temp");
  std::filesystem::create_directory_symlink(folder.Path() / "work", folder.Path() / "Tarnwell" / "temp" / "out");
  CloseWith(folder.System("Tarnwell\\temp\\out\\"));
  EXPECT_TRUE(folder.Exists("work/keep.txt"));
}

TEST_F(DownloadFolderOnClose, WithoutAProjectNothingIsDeleted) {
  TFormDesign1& d = MakeDesigner();
  host->noProject = true;
  d.Close();
  EXPECT_TRUE(folder.Exists("work/keep.txt"));
  EXPECT_TRUE(folder.Exists("work/temp/keep.txt"));
}

// The custom colours: from the registry when the window is made (the 16
// defaults when there are none), back into it when the window goes.
class CustomColours : public PlacementTest {
 protected:
  std::string Stored() const {
    TRegistry registry;
    if (!registry.OpenKey(kCustomColorsKey, false)) return "(no key)";
    return registry.ValueExists(kCustomColorsValue) ? registry.ReadString(kCustomColorsValue) : "(no value)";
  }
  void Store(const std::string& text) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(kCustomColorsKey, true));
    registry.WriteString(kCustomColorsValue, text);
  }
  static std::string Defaults() {
    std::string text;
    for (const char* line : kDefaultCustomColors) text += std::string(line) + "\r\n";
    return text;
  }
};

TEST_F(CustomColours, WithoutAValueTheDialogGetsTheDefaultsAndTheKeyIsMade) {
  EXPECT_EQ(Stored(), "(no key)");
  TFormDesign1& d = MakeDesigner();
  EXPECT_EQ(d.ColorDialog1->CustomColors()->Text(), Defaults());
  EXPECT_EQ(d.ColorDialog1->CustomColor(0), static_cast<TColor>(0x9C5A3C));
  EXPECT_EQ(Stored(), "(no value)");
}

TEST_F(CustomColours, AnEmptyValueGivesTheDefaults) {
  Store("");
  TFormDesign1& d = MakeDesigner();
  EXPECT_EQ(d.ColorDialog1->CustomColors()->Text(), Defaults());
}

TEST_F(CustomColours, TheStoredColoursAreTheDialogsAndGoBackWhenTheWindowGoes) {
  Store("ColorA=112233\r\nColorB=445566\r\n");
  TFormDesign1& d = MakeDesigner();
  EXPECT_EQ(d.ColorDialog1->CustomColors()->Count(), 2);
  EXPECT_EQ(d.ColorDialog1->CustomColor(1), static_cast<TColor>(0x665544));
  d.ColorDialog1->CustomColors()->Add("ColorC=778899");
  designer.reset();
  EXPECT_EQ(Stored(), "ColorA=112233\r\nColorB=445566\r\nColorC=778899\r\n");
}

TEST_F(Closing, DestructionTracesAndLeavesNoDesigner) {
  ChangedDesigner();
  ASSERT_EQ(FormDesign1, designer.get());
  designer.reset();
  EXPECT_EQ(FormDesign1, nullptr);
  EXPECT_EQ(LinesFrom("FormDestroy"),
            (std::vector<std::string>{"FormDestroy", "FormDesign1 = NULL", "FormDestroy - end"}));
}

TEST_F(Closing, FormDestroyFreesTheDocumentBeforeTheWindowGoes) {
  TFormDesign1& d = ChangedDesigner();
  ASSERT_NE(d.Document().Root(), nullptr);
  d.OnDestroy(&d);
  EXPECT_EQ(d.Document().Root(), nullptr);
  EXPECT_EQ(d.CurrentPage(), nullptr);
  EXPECT_EQ(d.PageObjects().size(), 0u);
  EXPECT_EQ(FormDesign1, nullptr);
}

}  // namespace
