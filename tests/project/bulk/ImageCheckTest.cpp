// The image check when the designer loads a project: a listed picture whose
// file is gone comes back from the output tree's copy with its file times,
// one without a copy stays listed and a message box names it, the rest stays
// as it was.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/commands/CommandsTestSupport.h"

using namespace commandstest;

namespace {

class ImageCheck : public CommandsTest {
 protected:
  std::vector<std::string> ListedImages() const {
    std::vector<std::string> names;
    TmyXmlNode* images = designer->Document().Images();
    for (TmyXmlNode* image = images != nullptr ? images->firstChild : nullptr; image != nullptr; image = image->next)
      names.push_back(image->GetAttr("name"));
    return names;
  }
};

TEST_F(ImageCheck, MissingPicturesAreRestoredFromTheOutputOrNamed) {
  const std::string images =
      "<images>\r\n<img name=\"HERE.PNG\" />\r\n<img name=\"BACKUP.PNG\" />\r\n<img name=\"GONE.PNG\" />\r\n"
      "<img name=\"..\\EVIL.PNG\" />\r\n<img name=\"LAST.PNG\" />\r\n</images>\r\n";
  folder.Write("Tarnwell/Images/HERE.PNG", "here");
  folder.Write("Tarnwell/Images/LAST.PNG", "last");
  folder.Write("SendRoot/WWW/images/BACKUP.PNG", "backup");
  folder.Write("SendRoot/WWW/images/HERE.PNG", "older copy");
  const std::filesystem::path backup = folder.Path() / "SendRoot/WWW/images/BACKUP.PNG";
  const auto stamp = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  std::filesystem::last_write_time(backup, stamp);
  const auto copied = std::filesystem::last_write_time(backup);
  ClearMessageBoxLog();
  Open(OnePageProject("", images));
  // The picture that cannot be checked (no plain name) stays listed, and so
  // does the one that cannot be restored.
  EXPECT_EQ(ListedImages(),
            (std::vector<std::string>{"HERE.PNG", "BACKUP.PNG", "GONE.PNG", "..\\EVIL.PNG", "LAST.PNG"}));
  const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("/Tarnwell/Images\" and could not be brought back from the output of its last "
                               "compile: GONE.PNG. They stay"),
            std::string::npos)
      << boxes[0].text;
  EXPECT_EQ(folder.Read("Tarnwell/Images/BACKUP.PNG"), "backup");
  const auto restored = std::filesystem::last_write_time(folder.Path() / "Tarnwell/Images/BACKUP.PNG");
  EXPECT_LE(std::chrono::abs(restored - copied), std::chrono::seconds(2));
  EXPECT_EQ(folder.Read("Tarnwell/Images/HERE.PNG"), "here");
  EXPECT_FALSE(folder.Exists("Tarnwell/Images/GONE.PNG"));
}

TEST_F(ImageCheck, AProjectWithAllItsPicturesIsLeftAlone) {
  folder.Write("Tarnwell/Images/A.PNG", "a");
  ClearMessageBoxLog();
  Open(OnePageProject("", "<images>\r\n<img name=\"A.PNG\" />\r\n</images>\r\n"));
  EXPECT_EQ(ListedImages(), (std::vector<std::string>{"A.PNG"}));
  EXPECT_FALSE(designer->Document().Modified());
  EXPECT_TRUE(MessageBoxLog().empty());
}

}  // namespace
