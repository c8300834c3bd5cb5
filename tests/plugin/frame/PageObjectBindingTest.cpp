// The library's start-up binds the page-object layer to the frame: the page
// objects look their variables up through the host's IEC variables manager,
// and "/LINVAR" from the host's command line makes the reader flatten the
// variable references. The designer pointer stays null until a designer is
// made.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FrameTestSupport.h"
#include "core/XmlDocument.h"
#include "designer/FormDesign1.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/ScrollBox.h"
#include "plugin/DllEntry.h"
#include "plugin/PluginState.h"
#include "plugin/VariableLookup.h"

namespace {

using frametest::HostTables;

class PageObjectBinding : public ::testing::Test {
 protected:
  void SetUp() override {
    tables.iec["Clock"] = {"DATE_AND_TIME", "", 20, S_OK};
    tables.iec["Recipes_1_speed"] = {"UINT", "", 12, S_OK};
    tables.iec["Recipes[1].speed"] = {"INT", "", 8, S_OK};
    gHost.ifIECManVariables = ComPtr<IIECManVariables>(&tables);
  }
  void TearDown() override {
    gHost.ifIECManVariables = nullptr;
    TarnwellReadHostCommandLine(0, nullptr);
  }

  // The page objects the designer reads from a page's text.
  std::vector<TGridWebElement*> Load(TFormDesign1& designer, const std::string& page) {
    TmyXMLParser parser;
    parser.LoadFromString(page.c_str());
    std::unique_ptr<TmyXmlNode> root(parser.Parse());
    EXPECT_NE(root, nullptr);
    designer.LoadObjects(root != nullptr ? root->firstChild : nullptr, designer.sbDesign1);
    std::vector<TGridWebElement*> elements;
    for (int i = 0; i < designer.sbDesign1->ComponentCount(); ++i)
      if (auto* e = dynamic_cast<TGridWebElement*>(designer.sbDesign1->Components(i))) elements.push_back(e);
    return elements;
  }

  HostTables tables;
};

TEST_F(PageObjectBinding, StartUpBindsTheLookupAndTheDesignerStaysNull) {
  TarnwellProcessAttach();
  EXPECT_EQ(gGridVariableLookup, &GetVariableInfo);
  EXPECT_EQ(FormDesign1, nullptr);
  // The grid's lookup reaches the host's IEC variables manager.
  TPinVariable pin;
  ASSERT_TRUE(LookUpGridVariable("Clock", pin));
  EXPECT_EQ(pin.typeName, "DT");
  EXPECT_EQ(pin.typeCode, 20);
  ASSERT_FALSE(tables.calls.empty());

  TarnwellProcessDetach();
  EXPECT_EQ(gGridVariableLookup, nullptr);
  TPinVariable untouched;
  EXPECT_FALSE(LookUpGridVariable("Clock", untouched));
  EXPECT_TRUE(untouched.typeName.empty());
  TarnwellProcessAttach();
}

TEST_F(PageObjectBinding, PageObjectsReadWithTheHostsTypesAndTheLinvarSwitch) {
  TarnwellProcessAttach();
  const char* argv[] = {"/opt/halvex/halvex", " /linvar "};
  TarnwellReadHostCommandLine(2, argv);
  EXPECT_TRUE(gFlattenVariableNames);
  {
    TFormDesign1 designer(nullptr);
    std::vector<TGridWebElement*> read =
        Load(designer, "<page><object><edit variable=\"Recipes[1].speed\" /></object></page>");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0]->GetVariable(), "Recipes_1_speed");
    EXPECT_EQ(read[0]->FVarInfo.typeName, "UINT");
    EXPECT_EQ(read[0]->FVarInfo.typeCode, 12);
  }
  EXPECT_EQ(FormDesign1, nullptr);

  // Without the switch the reference stays as written.
  TarnwellReadHostCommandLine(1, argv);
  EXPECT_FALSE(gFlattenVariableNames);
  TFormDesign1 designer(nullptr);
  std::vector<TGridWebElement*> read =
      Load(designer, "<page><object><edit variable=\"Recipes[1].speed\" /></object></page>");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0]->GetVariable(), "Recipes[1].speed");
  EXPECT_EQ(read[0]->FVarInfo.typeName, "INT");
}

}  // namespace
