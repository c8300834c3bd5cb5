#include "host/sim/HostMenu.h"

#include <algorithm>
#include <functional>

#include "hostapi/HostEvents.h"

namespace {

// The host menu that gets the plug-ins' commands, and the size of the
// pictures in the host's menus and tool bars.
constexpr HostLong kPluginsMenuNumber = 8;
constexpr int kMenuImageSize = 16;

}  // namespace

HostMenu::~HostMenu() { ReleaseAll(); }

TImageList* HostMenu::ImagesLocked() {
  if (!images_) {
    images_ = std::make_unique<TImageList>(nullptr);
    images_->SetSize(kMenuImageSize, kMenuImageSize);
  }
  return images_.get();
}

TImageList* HostMenu::Images() {
  std::lock_guard<std::mutex> lock(mutex_);
  return ImagesLocked();
}

TToolBar* HostMenu::ToolBarLocked(HostLong toolbarNumber) {
  for (auto& [number, bar] : toolBars_)
    if (number == toolbarNumber) return bar.get();
  auto bar = std::make_unique<TToolBar>(nullptr);
  bar->SetName("HostToolBar" + std::to_string(toolBars_.size()));
  bar->SetImages(ImagesLocked());
  toolBars_.emplace_back(toolbarNumber, std::move(bar));
  return toolBars_.back().second.get();
}

TToolBar* HostMenu::ToolBar(HostLong toolbarNumber) {
  std::lock_guard<std::mutex> lock(mutex_);
  return ToolBarLocked(toolbarNumber);
}

std::unique_ptr<TMenuItem> HostMenu::MakeItem(const std::string& caption) {
  auto item = std::make_unique<TMenuItem>(nullptr);
  item->SetCaption(caption);
  hostItems_.insert(item.get());
  return item;
}

std::vector<HostMenu::Command> HostMenu::TakeCommandsLocked(HostLong id, bool all) {
  std::vector<Command> taken;
  for (auto it = commands_.begin(); it != commands_.end();) {
    if (!all && it->info.id != id) {
      ++it;
      continue;
    }
    hostItems_.erase(it->item.get());
    taken.push_back(std::move(*it));
    it = commands_.erase(it);
  }
  return taken;
}

TMenuItem* HostMenu::MainMenuItems() {
  std::lock_guard<std::mutex> lock(mutex_);
  return mainMenu_ ? mainMenu_->Items() : nullptr;
}

std::vector<TToolBar*> HostMenu::ToolBars() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<TToolBar*> bars;
  for (auto& [number, bar] : toolBars_) bars.push_back(bar.get());
  return bars;
}

TMenuItem* HostMenu::TopMenu(HostLong menuNumber) {
  if (!mainMenu_) {
    mainMenu_ = std::make_unique<TMainMenu>(nullptr);
    mainMenu_->SetImages(ImagesLocked());
    hostItems_.insert(mainMenu_->Items());
  }
  for (auto& [number, item] : topMenus_)
    if (number == menuNumber) return item;
  std::string caption = menuNumber == kPluginsMenuNumber ? "Plug-ins"
                        : menuNumber == HOST_MENU_HELP   ? "Help"
                                                         : "Menu " + std::to_string(menuNumber);
  // The main menu owns its items, the help menu its own two.
  TMenuItem* top = MakeItem(caption).release();
  mainMenu_->Items()->Add(top);
  topMenus_.emplace_back(menuNumber, top);
  if (menuNumber == HOST_MENU_HELP) {
    top->Add(MakeItem("Contents").release());
    top->Add(MakeItem("About Halvex").release());
  }
  return top;
}

HRESULT HostMenu::AddBitmap(HBITMAP bitmap, HostLong* imageIndex) {
  if (imageIndex == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  // Without a bitmap the command simply has no image.
  if (bitmap == nullptr) {
    *imageIndex = -1;
    return S_OK;
  }
  // The handle is the caller's class-library bitmap; the host copies its
  // pictures, the colour of the bottom-left pixel transparent as menus and
  // tool bars show it (an empty bitmap gives none: index -1).
  const TBitmap* source = reinterpret_cast<const TBitmap*>(bitmap);
  HostMenuBitmap added;
  added.width = source->Width();
  added.height = source->Height();
  added.imageIndex = source->Empty() ? -1 : ImagesLocked()->AddMasked(source, source->TransparentColor());
  bitmaps_.push_back(added);
  *imageIndex = added.imageIndex;
  return S_OK;
}

HRESULT HostMenu::AddHelpItem(HostLong menuNumber, const char* name, TMenuItem** item) {
  if (item == nullptr || name == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  TMenuItem* top = TopMenu(menuNumber);
  bool made = *item == nullptr;
  if (!made && (*item)->Parent() != nullptr) return (*item)->Parent() == top ? S_FALSE : E_INVALIDARG;
  // An item the host makes belongs to the menu it hangs in.
  if (made) *item = MakeItem(name).release();
  top->Add(*item);
  help_.push_back({menuNumber, name, made});
  return S_OK;
}

HRESULT HostMenu::RegisterCommand(const char* name, const char* caption, HostLong value, HostLong imageIndex,
                                  IUnknown* sink, VARIANT_BOOL flag, HostLong* commandId) {
  if (commandId == nullptr || name == nullptr || caption == nullptr) return E_POINTER;
  if (sink == nullptr) return E_INVALIDARG;
  std::lock_guard<std::mutex> lock(mutex_);
  Command c;
  c.info.id = nextId_++;
  c.info.name = name;
  c.info.caption = caption;
  c.info.value = value;
  c.info.imageIndex = imageIndex;
  c.info.flag = flag != VARIANT_FALSE;
  c.sink = ComPtr<IUnknown>(sink);
  *commandId = c.info.id;
  commands_.push_back(std::move(c));
  return S_OK;
}

HostMenu::Command* HostMenu::Find(HostLong id) {
  for (Command& c : commands_)
    if (c.info.id == id) return &c;
  return nullptr;
}

void HostMenu::HangInMenu(Command& c, HostLong menu, HostLong position) {
  TMenuItem* top = TopMenu(menu);
  const HostLong commandId = c.info.id;
  if (!c.item) {
    c.item = MakeItem(c.info.caption);
    c.item->ImageIndex = c.info.imageIndex;
    c.item->OnClick = [this, commandId](TObject*) { Choose(commandId); };
  } else {
    c.item->Parent()->Remove(c.item.get());
  }
  top->Insert(std::max<HostLong>(0, std::min<HostLong>(position, top->Count())), c.item.get());
  c.info.item = c.item.get();
  c.info.inMenu = true;
  c.info.menu = menu;
  c.info.menuPosition = position;
}

void HostMenu::PutOnToolbar(Command& c, TToolBar* bar) {
  if (c.button && c.button->ToolBar() != bar) c.button.reset();
  if (!c.button) {
    const HostLong commandId = c.info.id;
    c.button = std::make_unique<TToolButton>(nullptr);
    c.button->SetCaption(c.info.caption);
    c.button->Hint = c.info.caption;
    c.button->SetImageIndex(c.info.imageIndex);
    c.button->OnClick = [this, commandId](TObject*) { Choose(commandId); };
    c.button->SetParent(bar);
  }
  c.info.button = c.button.get();
}

HRESULT HostMenu::PlaceInMenu(HostLong commandId, HostLong menu, HostLong position, VARIANT_BOOL, TMenuItem** item) {
  if (item == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  *item = nullptr;
  Command* c = Find(commandId);
  if (c == nullptr) return E_INVALIDARG;
  HangInMenu(*c, menu, position);
  *item = c->item.get();
  return S_OK;
}

HRESULT HostMenu::PlaceOnToolbar(HostLong commandId, HostLong toolbar, VARIANT_BOOL, TToolButton** button) {
  if (button == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  *button = nullptr;
  Command* c = Find(commandId);
  if (c == nullptr) return E_INVALIDARG;
  PutOnToolbar(*c, ToolBarLocked(toolbar));
  c->info.onToolbar = true;
  c->info.toolbar = toolbar;
  *button = c->button.get();
  return S_OK;
}

HRESULT HostMenu::RemoveCommand(HostLong commandId) {
  // Freed outside the lock: the item's and button's owners are told, and the
  // sink's release may end the plug-in's object.
  std::vector<Command> removed;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    removed = TakeCommandsLocked(commandId, false);
  }
  return removed.empty() ? E_INVALIDARG : S_OK;
}

std::vector<HostMenuCommand> HostMenu::Commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<HostMenuCommand> list;
  for (const Command& c : commands_) list.push_back(c.info);
  return list;
}

std::vector<HostHelpEntry> HostMenu::HelpEntries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return help_;
}

int HostMenu::BitmapCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(bitmaps_.size());
}

std::vector<HostMenuBitmap> HostMenu::Bitmaps() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bitmaps_;
}

HRESULT HostMenu::Choose(HostLong commandId) {
  // The sink is called outside the lock, with a reference of the call's own:
  // the command may be removed while it runs.
  ComPtr<IUnknown> sink;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Command* c = Find(commandId);
    if (c == nullptr) return E_INVALIDARG;
    sink = c->sink;
  }
  ComPtr<IQendMenuEvents> events;
  HRESULT hr = sink->QueryInterface(IID_IQendMenuEvents, events.PutVoid());
  if (SUCCEEDED(hr) && events) hr = events->OnMenuCommand(commandId);
  return hr;
}

void HostMenu::ReleaseAll() {
  std::vector<Command> left;
  std::lock_guard<std::mutex> lock(mutex_);
  left = TakeCommandsLocked(0, true);
}

int HostMenu::RemoveForeignItems() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!mainMenu_) return 0;
  int removed = 0;
  std::vector<TMenuItem*> pending{mainMenu_->Items()};
  while (!pending.empty()) {
    TMenuItem* parent = pending.back();
    pending.pop_back();
    for (int i = parent->Count() - 1; i >= 0; --i) {
      TMenuItem* child = parent->Items(i);
      if (hostItems_.count(child)) {
        pending.push_back(child);
        continue;
      }
      // The host takes over what a plug-in left and frees it with its sub-items.
      parent->Remove(child);
      std::unique_ptr<TMenuItem> left(child);
      ++removed;
    }
  }
  return removed;
}

std::vector<std::string> HostMenu::MenuLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::function<std::string(TMenuItem*)> text = [&](TMenuItem* item) {
    std::string s = item->Caption().empty() ? "(" + item->Name() + ")" : item->Caption();
    if (!item->Enabled()) s += " (disabled)";
    if (item->Count() > 0) {
      s += "{";
      for (int i = 0; i < item->Count(); ++i) s += (i ? ", " : "") + text(item->Items(i));
      s += "}";
    }
    return s;
  };
  std::vector<std::string> lines;
  for (auto& [number, top] : topMenus_) {
    std::string line = "menu " + std::to_string(number) + " " + top->Caption() + ":";
    for (int i = 0; i < top->Count(); ++i) line += (i ? ", " : " ") + text(top->Items(i));
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> HostMenu::ToolbarLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines;
  for (auto& [number, bar] : toolBars_) {
    std::string line = "toolbar " + std::to_string(number) + ":";
    for (int i = 0; i < bar->ButtonCount(); ++i) {
      TToolButton* b = bar->Buttons(i);
      line += (i ? ", " : " ") + b->Caption() + " (image " + std::to_string(b->ImageIndex());
      if (!b->Enabled()) line += ", disabled";
      line += ")";
    }
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> HostMenu::HelpMenuLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> lines;
  TMenuItem* help = nullptr;
  for (auto& [number, top] : topMenus_)
    if (number == HOST_MENU_HELP) help = top;
  if (help == nullptr) return lines;
  std::function<void(TMenuItem*, const std::string&)> walk = [&](TMenuItem* parent, const std::string& path) {
    for (int i = 0; i < parent->Count(); ++i) {
      TMenuItem* item = parent->Items(i);
      std::string name = item->Caption().empty() ? "(" + item->Name() + ")" : item->Caption();
      std::string itemPath = path + "|" + name;
      if (!hostItems_.count(item)) lines.push_back(itemPath + (item->Enabled() ? "" : " (disabled)"));
      walk(item, itemPath);
    }
  };
  walk(help, help->Caption());
  return lines;
}
