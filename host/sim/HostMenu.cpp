#include "host/sim/HostMenu.h"

#include <algorithm>
#include <functional>

#include "host/api/HostEvents.h"

HostMenu::~HostMenu() { ReleaseAll(); }

TImageList* HostMenu::ImagesLocked() {
  if (!images_) {
    images_ = std::make_unique<TImageList>(nullptr);
    images_->SetSize(16, 16);
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

void HostMenu::FreeControls(HostMenuCommand& command) {
  if (command.item) {
    hostItems_.erase(command.item);
    delete command.item;  // leaves its menu
    command.item = nullptr;
  }
  delete command.button;  // leaves its tool bar
  command.button = nullptr;
}

TMenuItem* HostMenu::MakeItem(const std::string& caption) {
  TMenuItem* item = new TMenuItem(nullptr);
  item->SetCaption(caption);
  hostItems_.insert(item);
  return item;
}

TMenuItem* HostMenu::TopMenu(HostLong menuNumber) {
  if (!mainMenu_) {
    mainMenu_ = std::make_unique<TMainMenu>(nullptr);
    mainMenu_->SetImages(ImagesLocked());
    hostItems_.insert(mainMenu_->Items());
  }
  for (auto& [number, item] : topMenus_)
    if (number == menuNumber) return item;
  std::string caption = menuNumber == 8                ? "Plug-ins"
                        : menuNumber == HOST_MENU_HELP ? "Help"
                                                       : "Menu " + std::to_string(menuNumber);
  TMenuItem* top = MakeItem(caption);
  mainMenu_->Items()->Add(top);
  topMenus_.emplace_back(menuNumber, top);
  if (menuNumber == HOST_MENU_HELP) {
    top->Add(MakeItem("Contents"));
    top->Add(MakeItem("About Halvex"));
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
  if (made) *item = MakeItem(name);
  top->Add(*item);
  help_.push_back({menuNumber, name, made});
  return S_OK;
}

HRESULT HostMenu::RegisterCommand(const char* name, const char* caption, HostLong value, HostLong imageIndex,
                                  IUnknown* sink, VARIANT_BOOL flag, HostLong* commandId) {
  if (commandId == nullptr || name == nullptr || caption == nullptr) return E_POINTER;
  if (sink == nullptr) return E_INVALIDARG;
  sink->AddRef();
  std::lock_guard<std::mutex> lock(mutex_);
  HostMenuCommand c;
  c.id = nextId_++;
  c.name = name;
  c.caption = caption;
  c.value = value;
  c.imageIndex = imageIndex;
  c.sink = sink;
  c.flag = flag != VARIANT_FALSE;
  commands_.push_back(c);
  *commandId = c.id;
  return S_OK;
}

HostMenuCommand* HostMenu::Find(HostLong id) {
  for (HostMenuCommand& c : commands_)
    if (c.id == id) return &c;
  return nullptr;
}

HRESULT HostMenu::PlaceInMenu(HostLong commandId, HostLong menu, HostLong position, VARIANT_BOOL, TMenuItem** item) {
  if (item == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  HostMenuCommand* c = Find(commandId);
  *item = nullptr;
  if (c == nullptr) return E_INVALIDARG;
  TMenuItem* top = TopMenu(menu);
  if (c->item == nullptr) {
    c->item = MakeItem(c->caption);
    c->item->ImageIndex = c->imageIndex;
    c->item->OnClick = [this, commandId](TObject*) { Choose(commandId); };
  } else {
    c->item->Parent()->Remove(c->item);
  }
  top->Insert(std::max<HostLong>(0, std::min<HostLong>(position, top->Count())), c->item);
  c->inMenu = true;
  c->menu = menu;
  c->menuPosition = position;
  *item = c->item;
  return S_OK;
}

HRESULT HostMenu::PlaceOnToolbar(HostLong commandId, HostLong toolbar, VARIANT_BOOL, TToolButton** button) {
  if (button == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  HostMenuCommand* c = Find(commandId);
  *button = nullptr;
  if (c == nullptr) return E_INVALIDARG;
  TToolBar* bar = ToolBarLocked(toolbar);
  if (c->button != nullptr && c->button->ToolBar() != bar) {
    delete c->button;
    c->button = nullptr;
  }
  if (c->button == nullptr) {
    // Owned by the bar, so the bar frees the buttons still on it.
    c->button = new TToolButton(bar);
    c->button->SetCaption(c->caption);
    c->button->Hint = c->caption;
    c->button->SetImageIndex(c->imageIndex);
    c->button->OnClick = [this, commandId](TObject*) { Choose(commandId); };
    c->button->SetParent(bar);
  }
  c->onToolbar = true;
  c->toolbar = toolbar;
  *button = c->button;
  return S_OK;
}

HRESULT HostMenu::RemoveCommand(HostLong commandId) {
  IUnknown* sink = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = commands_.begin(); it != commands_.end(); ++it)
      if (it->id == commandId) {
        sink = it->sink;
        FreeControls(*it);
        commands_.erase(it);
        break;
      }
  }
  if (sink == nullptr) return E_INVALIDARG;
  sink->Release();
  return S_OK;
}

std::vector<HostMenuCommand> HostMenu::Commands() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return commands_;
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
  IUnknown* sink = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    HostMenuCommand* c = Find(commandId);
    if (c == nullptr) return E_INVALIDARG;
    sink = c->sink;
    sink->AddRef();
  }
  IQendMenuEvents* events = nullptr;
  HRESULT hr = sink->QueryInterface(IID_IQendMenuEvents, reinterpret_cast<void**>(&events));
  if (SUCCEEDED(hr) && events != nullptr) {
    hr = events->OnMenuCommand(commandId);
    events->Release();
  }
  sink->Release();
  return hr;
}

void HostMenu::ReleaseAll() {
  std::vector<HostMenuCommand> left;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    left.swap(commands_);
    for (HostMenuCommand& c : left) FreeControls(c);
  }
  for (HostMenuCommand& c : left)
    if (c.sink) c.sink->Release();
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
      } else {
        delete child;  // with its sub-items
        ++removed;
      }
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
