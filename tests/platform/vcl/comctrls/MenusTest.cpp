// Menus built at run time: the item tree, radio items, shortcuts found
// through the driver's key presses, and popup menus chosen by the driver.

#include "platform/vcl/Menus.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/vcl/comctrls/ComCtrlsTestSupport.h"

class MenusTest : public ComCtrlsTest {};

namespace {
TMenuItem* NewItem(TComponent* owner, const std::string& caption, EventLog* log = nullptr) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  if (log != nullptr)
    item->OnClick = [log, item](TObject* sender) {
      EXPECT_EQ(sender, item);
      log->Add(StripHotkey(item->Caption()));
    };
  return item;
}
}  // namespace

TEST_F(MenusTest, ItemTreeAddInsertRemoveDeleteAndErrors) {
  TMenuItem root(nullptr);
  TMenuItem* a = NewItem(nullptr, "&Alpha");
  TMenuItem* b = NewItem(nullptr, "Beta");
  TMenuItem* c = NewItem(nullptr, "Gamma");
  root.Add(a);
  root.Add(c);
  root.Insert(1, b);
  ASSERT_EQ(root.Count(), 3);
  EXPECT_EQ(root.Items(1), b);
  EXPECT_EQ(b->Parent(), &root);
  EXPECT_EQ(c->MenuIndex(), 2);
  EXPECT_EQ(root.IndexOf(c), 2);
  EXPECT_EQ(root.Find("alpha"), a);       // '&' and case aside
  EXPECT_THROW(root.Add(a), EMenuError);  // already inserted
  EXPECT_THROW(root.Insert(9, NewItem(&root, "x")), EMenuError);
  EXPECT_THROW(root.Items(3), EMenuError);
  EXPECT_THROW(a->Add(&root), EMenuError);  // would hold itself

  root.Remove(b);  // taken out, not freed
  EXPECT_EQ(b->Parent(), nullptr);
  EXPECT_EQ(root.Count(), 2);
  EXPECT_THROW(root.Remove(b), EMenuError);
  root.Delete(0);  // taken out, not freed
  EXPECT_EQ(root.Count(), 1);
  EXPECT_EQ(root.Items(0), c);
  delete a;
  delete b;

  // A freed item leaves its parent; a parent frees what it holds.
  TMenuItem* sub = NewItem(nullptr, "Sub");
  c->Add(sub);
  TMenuItem* gone = NewItem(nullptr, "Gone");
  c->Add(gone);
  delete gone;
  EXPECT_EQ(c->Count(), 1);
  root.Clear();
  EXPECT_EQ(root.Count(), 0);
}

TEST_F(MenusTest, ItemsOfAnOwnerHangInAnOwnerlessHostMenuAndLeaveWhenTheOwnerGoes) {
  TMenuItem hostHelp(nullptr);  // a host menu, without owner
  hostHelp.Add(NewItem(nullptr, "Host entry"));
  {
    TForm plugin(nullptr);
    TMenuItem* ours = NewItem(&plugin, "Tarnwell");
    ours->SetName("TarnwellHELP");
    hostHelp.Add(ours);
    EXPECT_EQ(hostHelp.Count(), 2);
    EXPECT_EQ(ours->Parent(), &hostHelp);
  }
  ASSERT_EQ(hostHelp.Count(), 1);  // freed with its owner, gone from the host's menu
  EXPECT_EQ(hostHelp.Items(0)->Caption(), "Host entry");
}

TEST_F(MenusTest, RadioItemsOfAGroupExcludeEachOtherAndClickRespectsEnabledAndAutoCheck) {
  TPopupMenu menu(nullptr);
  EventLog log;
  std::vector<TMenuItem*> items;
  for (int i = 0; i < 4; ++i) {
    TMenuItem* item = NewItem(&menu, "template" + std::to_string(i), &log);
    item->SetRadioItem(true);
    item->AutoCheck = true;
    item->Tag = i;
    menu.Items()->Add(item);
    items.push_back(item);
  }
  items[3]->SetGroupIndex(1);  // another group
  items[3]->SetChecked(true);
  items[0]->SetChecked(true);
  items[1]->SetChecked(true);
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[1]->Checked());
  EXPECT_TRUE(items[3]->Checked());  // other group untouched

  items[2]->Click();
  EXPECT_TRUE(items[2]->Checked());
  EXPECT_FALSE(items[1]->Checked());
  items[2]->Click();  // a radio item stays checked
  EXPECT_TRUE(items[2]->Checked());
  items[0]->SetEnabled(false);
  items[0]->Click();  // disabled: nothing
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_EQ(log.Joined(), "template2 template2");

  TMenuItem* check = NewItem(&menu, "Grid", &log);
  check->AutoCheck = true;
  check->Click();
  check->Click();
  check->Click();
  EXPECT_TRUE(check->Checked());
  delete check;
}

TEST_F(MenusTest, ShortCutTextsRoundTrip) {
  EXPECT_EQ(ShortCut('C', ssCtrl), static_cast<TShortCut>(scCtrl | 'C'));
  EXPECT_EQ(ShortCutToText(ShortCut('V', ssCtrl | ssShift)), "Shift+Ctrl+V");
  EXPECT_EQ(TextToShortCut("Ctrl+Shift+V"), ShortCut('V', ssCtrl | ssShift));
  EXPECT_EQ(TextToShortCut("ctrl+z"), ShortCut('Z', ssCtrl));
  EXPECT_EQ(TextToShortCut("Del"), ShortCut(VK_DELETE, 0));
  EXPECT_EQ(TextToShortCut("F5"), ShortCut(VK_F5, 0));
  EXPECT_EQ(TextToShortCut("Alt+BkSp"), ShortCut(VK_BACK, ssAlt));
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
  EXPECT_EQ(TextToShortCut(""), scNone);
  for (TShortCut sc : {ShortCut('A', ssCtrl), ShortCut(VK_F12, ssShift), ShortCut(VK_INSERT, ssCtrl | ssAlt),
                       ShortCut('0', 0), ShortCut(VK_RETURN, ssAlt)})
    EXPECT_EQ(TextToShortCut(ShortCutToText(sc)), sc) << ShortCutToText(sc);
  EXPECT_EQ(StripHotkey("Save && &Exit"), "Save & Exit");
}

TEST_F(MenusTest, ShortCutsOfAControlsPopupMenuAreTriggeredByKeyPresses) {
  TForm form(nullptr);
  PrepareForm(form, 200, 100);
  auto* box = new TFocusBox(&form);
  box->SetParent(&form);
  auto* menu = new TPopupMenu(&form);
  menu->SetName("CommonEditPopup1");
  EventLog log;
  TMenuItem* copy = NewItem(menu, "&Copy", &log);
  copy->SetShortCut(TextToShortCut("Ctrl+C"));
  TMenuItem* edit = NewItem(menu, "Edit");
  TMenuItem* pasteDirect = NewItem(menu, "Paste direct", &log);
  pasteDirect->SetShortCut(ShortCut('V', ssCtrl | ssShift));
  menu->Items()->Add(copy);
  menu->Items()->Add(edit);
  edit->Add(pasteDirect);  // shortcuts of submenus count too
  box->SetPopupMenu(menu);
  form.Show();
  Driver::Click(box);
  ASSERT_TRUE(box->Focused());

  EventLog keys;
  box->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys.Add(std::to_string(key)); };
  EXPECT_TRUE(Driver::KeyDown('C', ssCtrl));
  Driver::KeyUp('C', ssCtrl);
  Driver::PressKey('V', ssCtrl | ssShift);
  EXPECT_EQ(log.Joined(), "Copy Paste direct");
  EXPECT_TRUE(keys.events.empty());  // the menu took the keys

  // A disabled item (or one in a disabled submenu) lets the key go on.
  log.Clear();
  copy->SetEnabled(false);
  edit->SetEnabled(false);
  Driver::PressKey('C', ssCtrl);
  Driver::PressKey('V', ssCtrl | ssShift);
  EXPECT_EQ(log.Joined(), "");
  EXPECT_EQ(keys.events.size(), 2u);
}

TEST_F(MenusTest, RightClickPopsUpTheMenuAndTheDriverChoosesAnItem) {
  TForm form(nullptr);
  PrepareForm(form, 200, 100);
  auto* box = new TFocusBox(&form);
  box->SetParent(&form);
  box->SetName("tvPageList");
  box->SetBounds(10, 10, 80, 40);
  auto* menu = new TPopupMenu(&form);
  menu->SetName("TreePopup");
  EventLog log;
  menu->OnPopup = [&](TObject* sender) {
    EXPECT_EQ(sender, menu);
    EXPECT_EQ(menu->PopupComponent, box);  // set before OnPopup
    log.Add("popup");
  };
  TMenuItem* align = NewItem(menu, "&Align");
  TMenuItem* left = NewItem(menu, "&Left", &log);
  TMenuItem* del = NewItem(menu, "Delete", &log);
  align->Add(left);
  menu->Items()->Add(align);
  menu->Items()->Add(NewItem(menu, "-"));
  menu->Items()->Add(del);
  box->SetPopupMenu(menu);
  form.Show();

  Driver::ChoosePopupItem("TreePopup", "align|left");
  Driver::Click(box, 5, 6, mbRight);
  EXPECT_EQ(log.Joined(), "popup Left");
  auto popups = Driver::PopupLog();
  ASSERT_EQ(popups.size(), 1u);
  EXPECT_EQ(popups[0].menuName, "TreePopup");
  EXPECT_EQ(popups[0].componentName, "tvPageList");
  EXPECT_EQ(popups[0].screenPos, box->ClientToScreen({5, 6}));
  EXPECT_EQ(popups[0].chosen, "Left");

  // A disabled choice is refused; without a handler nothing is chosen.
  Driver::ResetPopups();
  log.Clear();
  del->SetEnabled(false);
  Driver::ChoosePopupItem("", "Delete");
  menu->Popup(300, 200);
  EXPECT_EQ(log.Joined(), "popup");
  ASSERT_EQ(Driver::PopupLog().size(), 1u);
  EXPECT_TRUE(Driver::PopupLog()[0].refused);
  EXPECT_EQ(menu->PopupPoint, (TPoint{300, 200}));
  Driver::ResetPopups();
  menu->Popup(1, 2);
  ASSERT_EQ(Driver::PopupLog().size(), 1u);
  EXPECT_FALSE(Driver::PopupLog()[0].answeredByHandler);
  EXPECT_EQ(Driver::PopupLog()[0].chosen, "");

  // AutoPopup off: the right click opens nothing.
  Driver::ResetPopups();
  menu->AutoPopup = false;
  Driver::Click(box, 5, 6, mbRight);
  EXPECT_TRUE(Driver::PopupLog().empty());
}

TEST_F(MenusTest, ItemsAndTagsOfAPopupMenuAreReachableAndAFreedPopupComponentIsForgotten) {
  TPopupMenu menu(nullptr);
  for (int i = 0; i < 3; ++i) {
    TMenuItem* item = NewItem(&menu, "i" + std::to_string(i));
    item->Tag = i;
    menu.Items()->Add(item);
  }
  EXPECT_EQ(menu.Items()->Items(2)->Tag, 2);
  EXPECT_EQ(menu.Items()->Items(0)->GetParentMenu(), &menu);
  auto* box = new TFocusBox(nullptr);
  menu.PopupComponent = box;
  box->FreeNotification(&menu);
  delete box;
  EXPECT_EQ(menu.PopupComponent, nullptr);
}

TEST_F(MenusTest, MainMenuFindsShortCutsInItsSubmenus) {
  TMainMenu menu(nullptr);
  EventLog log;
  TMenuItem* file = NewItem(&menu, "&File");
  TMenuItem* save = NewItem(&menu, "&Save", &log);
  save->SetShortCut(TextToShortCut("Ctrl+S"));
  file->Add(save);
  menu.Items()->Add(file);
  EXPECT_EQ(menu.FindShortCut(ShortCut('S', ssCtrl)), save);
  EXPECT_TRUE(menu.IsShortCut('S', ssCtrl));
  EXPECT_FALSE(menu.IsShortCut('S', 0));
  // A hidden item keeps its shortcut; a disabled parent takes it away.
  file->SetVisible(false);
  EXPECT_TRUE(menu.IsShortCut('S', ssCtrl));
  file->SetEnabled(false);
  EXPECT_FALSE(menu.IsShortCut('S', ssCtrl));
  EXPECT_EQ(log.Joined(), "Save Save");
  EXPECT_EQ(Driver::FindMenuItem(menu.Items(), "file|SAVE"), save);
  EXPECT_EQ(Driver::FindMenuItem(menu.Items(), "file|nothing"), nullptr);
  EXPECT_EQ(Driver::FindMenuItem(menu.Items(), ""), nullptr);
}
