// The web project's files handed to the host: the online backup list and the
// host's list of the project's files (notification code 18), for the single
// file and the split layout, with the designer open and closed.

#include <gtest/gtest.h>

#include "EventsFixture.h"
#include "designer/FormDesign1.h"
#include "hostapi/HostRecords.h"
#include "platform/win/Paths.h"
#include "plugin/DesignerLink.h"
#include "plugin/PluginState.h"
#include "plugin/WebMainForm.h"

namespace {

using eventstest::ReadFile;
using eventstest::WriteFile;
using Paths = std::vector<std::string>;

constexpr const char* kProject =
    "<web><group caption=\"G\"><page caption=\"P\" name=\"P.XML\"/></group>"
    "<images><img name=\"pump.png\"/><img name=\"valve.gif\"/></images></web>";

class ProjectFileList : public eventstest::EventsFixture {
 protected:
  void SingleLayout() { WriteFile(WebFile(".xml"), kProject); }
  void SplitLayout() {
    WriteFile(WebFolder() / "web.xml", kProject);
    WriteFile(WebFolder() / "pages" / "P.XML", "<page/>");
    WriteFile(WebFolder() / "pages" / "sub" / "Q.XML", "<page/>");
    WriteFile(WebFolder() / "pages" / ".hidden", "x");
  }
  void FlagFilesAndImports() {
    WriteFile(WebFolder() / "disable.tdi", "");
    WriteFile(WebFile(".auto"), "On");
    WriteFile(WebFolder() / "Import" / "logo.png", "png");
    WriteFile(WebFolder() / "Import" / "js" / "app.js", "js");
  }

  // The backup's files as native paths.
  Paths Backup() {
    host.OnlineBackup().Clear();
    // The host hands the sink a reference of its own, which the sink gives back.
    EXPECT_EQ(plugin->AddFileToOnlinePlcBackup(ComPtr<IHalvexOnlinePlcBackup>(&host.OnlineBackup()).Detach()), S_OK);
    Paths paths;
    for (const HostBackupFile& file : host.OnlineBackup().Files()) paths.push_back(ToNativePath(file.path));
    return paths;
  }
  // The lines the plug-in appends to the host's list file.
  Paths FileList() {
    const std::string listFile = folder.Native("list.txt");
    std::filesystem::remove(listFile);
    HostFileListRequest request;
    request.projectName = "Plant";
    request.listFile = listFile.c_str();
    HostLong result = 77;
    EXPECT_EQ(plugin->OnProjectNotification(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_FILE_LIST, &request, &result),
              S_OK);
    EXPECT_EQ(result, 0);
    Paths lines;
    const std::string text = ReadFile(listFile);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(ToNativePath(text.substr(start, end - start)));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
  }
  Paths Native(const Paths& relative) const {
    Paths paths;
    for (const std::string& r : relative) paths.push_back(HostPath(r));
    return paths;
  }
};

const Paths kSinglePlain = {"Tarnwell\\Plant.webx", "Tarnwell\\Plant.xml", "Tarnwell\\Plant_var.xml",
                            "Tarnwell\\Plant.txt"};
const Paths kSplitWithFlags = {
    "Tarnwell\\Plant.webx",      "Tarnwell\\web.xml",    "Tarnwell\\pages\\P.XML", "Tarnwell\\pages\\sub\\Q.XML",
    "Tarnwell\\disable.tdi",     "Tarnwell\\Plant.auto", "Tarnwell\\Plant.txt",    "Tarnwell\\Import\\js\\app.js",
    "Tarnwell\\Import\\logo.png"};
const Paths kImages = {"Tarnwell\\Images\\pump.png", "Tarnwell\\Images\\valve.gif"};

Paths Joined(const Paths& a, const Paths& b) {
  Paths all = a;
  all.insert(all.end(), b.begin(), b.end());
  return all;
}

TEST_F(ProjectFileList, BackupOfTheSingleLayoutNamesTheFixedFilesWhetherOrNotTheyExist) {
  SingleLayout();
  EXPECT_EQ(Backup(), Native(kSinglePlain));
}

TEST_F(ProjectFileList, BackupOfTheSplitLayoutWithFlagFilesAndTheImportFolder) {
  SplitLayout();
  FlagFilesAndImports();
  EXPECT_EQ(Backup(), Native(kSplitWithFlags));
  OpenDesigner(true);
  EXPECT_EQ(Backup(), Native(kSplitWithFlags));
}

TEST_F(ProjectFileList, BackupTakesTheImportFolderOfTheSharedProjectInGlobalMode) {
  SingleLayout();
  WebMainForm1->Global = true;
  WebMainForm1->GlobalDir = "Shared";
  WriteFile(WebFolder() / "Import" / "local.png", "png");
  const std::filesystem::path global = host.GlobalFolder();
  WriteFile(global / "Shared" / "Import" / "shared.png", "png");
  const Paths backup = Backup();
  EXPECT_EQ(backup.back(), ToNativePath((global / "Shared" / "Import" / "shared.png").string()));
  for (const std::string& path : backup) EXPECT_EQ(path.find("local.png"), std::string::npos) << path;
}

TEST_F(ProjectFileList, FileListHasThePicturesAndTheBackupsFilesWithTheDesignerClosed) {
  SingleLayout();
  ASSERT_EQ(FormDesign1, nullptr);
  EXPECT_EQ(FileList(), Native(Joined(kImages, kSinglePlain)));
}

TEST_F(ProjectFileList, FileListOfTheSplitLayoutReadsThePicturesFromWebXml) {
  SplitLayout();
  FlagFilesAndImports();
  EXPECT_EQ(FileList(), Native(Joined(kImages, kSplitWithFlags)));
}

TEST_F(ProjectFileList, FileListWithTheDesignerOpenTakesThePicturesOfItsDocument) {
  SingleLayout();
  // The designer drops listed pictures whose files are gone when it loads.
  for (const char* picture : {"pump.png", "valve.gif"}) WriteFile(WebFolder() / "Images" / picture, "picture");
  OpenDesigner(true);
  ASSERT_NE(FormDesign1, nullptr);
  ASSERT_NE(FormDesign1->Document().Images(), nullptr);
  FormDesign1->Document().Images()->AddChild("img")->SetAttr("name", "new.png");
  EXPECT_EQ(FileList(), Native(Joined(Joined(kImages, {"Tarnwell\\Images\\new.png"}), kSinglePlain)));
}

}  // namespace
