#include "FakeHost.h"

#include <cstring>
#include <stdexcept>

#include "platform/com/ResultCodes.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/SysUtilsException.h"

namespace plugintest {

namespace {

struct NamedIid {
  const IID* iid;
  const char* name;
};

const NamedIid kNames[] = {
    {&IID_IUnknown, "IUnknown"},
    {&IID_IQendProjectManager, "IQendProjectManager"},
    {&IID_IQendMenu, "IQendMenu"},
    {&IID_IQendVariables, "IQendVariables"},
    {&IID_IHalvexWebTdiMap, "IHalvexWebTdiMap"},
    {&IID_IQendMessages, "IQendMessages"},
    {&IID_IQendProject, "IQendProject"},
    {&IID_IHalvexSyncedPlcRead, "IHalvexSyncedPlcRead"},
    {&IID_IHalvexCommLoopEx, "IHalvexCommLoopEx"},
    {&IID_IConnectionPointContainer, "IConnectionPointContainer"},
    {&IID_IQendCpm, "IQendCpm"},
    {&IID_IHalvexIDE, "IHalvexIDE"},
    {&IID_IQendTextEditor, "IQendTextEditor"},
    {&IID_IHalvexPlcControl, "IHalvexPlcControl"},
    {&IID_IQendLanguage, "IQendLanguage"},
    {&IID_IIECManVariables, "IIECManVariables"},
    {&IID_IQendApp, "IQendApp"},
    {&IID_IQendOptionsStorageStreams, "IQendOptionsStorageStreams"},
    {&IID_IQendCompiler, "IQendCompiler"},
};

char* TaskText(const std::string& text) {
  auto* copy = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

}  // namespace

std::string IidName(const IID& iid) {
  for (const NamedIid& entry : kNames)
    if (*entry.iid == iid) return entry.name;
  return GuidToString(iid);
}

FakeHost::FakeHost() {
  IConnectionPointContainer* self = this;
  projectPoint = points.Add(IID_IQendProjectEvents, self);
  desktopPoint = points.Add(IID_IQendDesktopEvents, self);
  cpmPoint = points.Add(IID_IQendCpmEvents, self);
  commStatePoint = points.Add(IID_IHalvexCommStateEvent, self);
  compilerPoint = points.Add(IID_IQendCompilerEvents, self);
  backupPoint = points.Add(IID_IHalvexOnlinePlcBackupEvent, self);
  helpMenu = std::make_unique<TMenuItem>(nullptr);
  helpMenu->SetCaption("Help");
  for (const char* caption : {"Contents", "About"}) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    helpMenu->Add(item);
  }
  pluginsMenu = std::make_unique<TMenuItem>(nullptr);
  pluginsMenu->SetCaption("Plug-ins");
  toolBar = std::make_unique<TToolBar>(nullptr);
}

bool FakeHost::Called(const std::string& call) const {
  for (const std::string& c : calls)
    if (c == call) return true;
  return false;
}

HRESULT FakeHost::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  std::string name = IidName(iid);
  asked.push_back(name);
  *object = nullptr;
  if (withheld.count(name) != 0) return E_NOINTERFACE;
  if (iid == IID_IUnknown || iid == IID_IQendProjectManager)
    *object = static_cast<IQendProjectManager*>(this);
  else if (iid == IID_IQendMenu)
    *object = static_cast<IQendMenu*>(this);
  else if (iid == IID_IQendVariables)
    *object = static_cast<IQendVariables*>(this);
  else if (iid == IID_IHalvexWebTdiMap)
    *object = static_cast<IHalvexWebTdiMap*>(this);
  else if (iid == IID_IQendMessages)
    *object = static_cast<IQendMessages*>(this);
  else if (iid == IID_IQendProject)
    *object = static_cast<IQendProject*>(this);
  else if (iid == IID_IHalvexSyncedPlcRead)
    *object = static_cast<IHalvexSyncedPlcRead*>(this);
  else if (iid == IID_IHalvexCommLoopEx)
    *object = static_cast<IHalvexCommLoopEx*>(this);
  else if (iid == IID_IConnectionPointContainer)
    *object = static_cast<IConnectionPointContainer*>(this);
  else if (iid == IID_IQendCpm)
    *object = static_cast<IQendCpm*>(this);
  else if (iid == IID_IHalvexIDE)
    *object = static_cast<IHalvexIDE*>(this);
  else if (iid == IID_IQendTextEditor)
    *object = static_cast<IQendTextEditor*>(this);
  else if (iid == IID_IHalvexPlcControl)
    *object = static_cast<IHalvexPlcControl*>(this);
  else if (iid == IID_IQendLanguage)
    *object = static_cast<IQendLanguage*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT FakeHost::GetProjectName(char** name) {
  if (name == nullptr) return E_POINTER;
  *name = TaskText(projectName);
  return S_OK;
}

HRESULT FakeHost::GetProjectFolder(char** folder) {
  if (folder == nullptr) return E_POINTER;
  *folder = TaskText(projectFolder);
  return S_OK;
}

HRESULT FakeHost::GetGlobalFolder(char** folder) {
  if (folder == nullptr) return E_POINTER;
  *folder = TaskText(projectFolder.empty() ? std::string() : projectFolder + "Global\\");
  return S_OK;
}

HRESULT FakeHost::GetOwnerComponent(TComponent** owner) {
  if (owner == nullptr) return E_POINTER;
  *owner = nullptr;
  return S_OK;
}

HRESULT FakeHost::GetProjectNameW(BSTR* name) {
  if (name == nullptr) return E_POINTER;
  std::u16string wide(projectName.begin(), projectName.end());
  *name = SysAllocStringOf(wide);
  return S_OK;
}

HRESULT FakeHost::GetProjectList(char** list) {
  if (list == nullptr) return E_POINTER;
  *list = TaskText(projectList);
  return S_OK;
}

HRESULT FakeHost::AddBitmap(HBITMAP bitmap, HostLong* imageIndex) {
  calls.push_back("AddBitmap");
  if (throwInAddBitmap) throw Exception("menu broken");
  if (imageIndex == nullptr) return E_POINTER;
  // The host copies the caller's bitmap during the call.
  bitmapCopy.reset();
  if (bitmap != nullptr) {
    bitmapCopy = std::make_unique<TBitmap>();
    bitmapCopy->Assign(reinterpret_cast<const TBitmap*>(bitmap));
  }
  *imageIndex = 17;
  return S_OK;
}

HRESULT FakeHost::AddHelpItem(HostLong menuNumber, const char* name, TMenuItem** item) {
  calls.push_back("AddHelpItem " + std::to_string(menuNumber) + " " + (name != nullptr ? name : ""));
  if (item == nullptr || name == nullptr) return E_POINTER;
  if (*item == nullptr) {
    if (helpSubmenuRefused) return E_FAIL;
    *item = new TMenuItem(nullptr);
    (*item)->SetCaption(name);
  }
  if (!helpWithoutMenu && (*item)->Parent() == nullptr) helpMenu->Add(*item);
  return S_OK;
}

HRESULT FakeHost::RegisterCommand(const char* name, const char* caption, HostLong value, HostLong imageIndex,
                                  IUnknown* sink, VARIANT_BOOL flag, HostLong* commandId) {
  calls.push_back("RegisterCommand " + std::string(name) + " " + caption + " " + std::to_string(value) + " " +
                  std::to_string(imageIndex) + " " + std::to_string(flag));
  if (commandId == nullptr || sink == nullptr) return E_POINTER;
  commandSink = ComPtr<IUnknown>(sink);
  *commandId = nextCommandId;
  return S_OK;
}

HRESULT FakeHost::PlaceInMenu(HostLong commandId, HostLong menu, HostLong position, VARIANT_BOOL flag,
                              TMenuItem** item) {
  calls.push_back("PlaceInMenu " + std::to_string(commandId) + " " + std::to_string(menu) + " " +
                  std::to_string(position) + " " + std::to_string(flag));
  if (item == nullptr) return E_POINTER;
  if (!commandItem) {
    commandItem = std::make_unique<TMenuItem>(nullptr);
    commandItem->SetCaption("Tarnwell");
    pluginsMenu->Add(commandItem.get());
  }
  *item = commandItem.get();
  return S_OK;
}

HRESULT FakeHost::PlaceOnToolbar(HostLong commandId, HostLong toolbar, VARIANT_BOOL flag, TToolButton** button) {
  calls.push_back("PlaceOnToolbar " + std::to_string(commandId) + " " + std::to_string(toolbar) + " " +
                  std::to_string(flag));
  if (button == nullptr) return E_POINTER;
  if (!commandButton) {
    commandButton = std::make_unique<TToolButton>(nullptr);
    commandButton->SetParent(toolBar.get());
  }
  *button = commandButton.get();
  return S_OK;
}

HRESULT FakeHost::RemoveCommand(HostLong commandId) {
  calls.push_back("RemoveCommand " + std::to_string(commandId));
  // The command's item and button go with it.
  commandItem.reset();
  commandButton.reset();
  commandSink.Reset();
  return S_OK;
}

HRESULT FakeHost::GetVariablePosition(const char*, std::uint8_t*, std::uint16_t*, std::uint32_t*, std::uint8_t*) {
  return E_FAIL;
}

HRESULT FakeHost::AddMessage(const char* text, const char*) {
  calls.push_back(std::string("AddMessage ") + (text != nullptr ? text : ""));
  return S_OK;
}

HRESULT FakeHost::GetFileList(char** files) {
  if (files == nullptr) return E_POINTER;
  *files = TaskText("");
  return S_OK;
}

HRESULT FakeHost::RemoveCallback(CommLoopCallbackFunction callback) {
  calls.push_back("RemoveCallback");
  for (auto it = callbacks.begin(); it != callbacks.end(); ++it) {
    if (*it == callback) {
      callbacks.erase(it);
      return S_OK;
    }
  }
  return E_INVALIDARG;
}

HRESULT FakeHost::AddCallback(CommLoopCallbackFunction callback, std::uint32_t value, const char* name) {
  calls.push_back("AddCallback " + std::to_string(value) + " " + (name != nullptr ? name : ""));
  if (callback == nullptr) return E_POINTER;
  callbacks.push_back(callback);
  return S_OK;
}

HRESULT FakeHost::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT FakeHost::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  calls.push_back("FindConnectionPoint " + IidName(iid));
  return points.FindConnectionPoint(iid, point);
}

HRESULT FakeHost::GetCpmType(HostLong* value) {
  if (value == nullptr) return E_POINTER;
  *value = cpmType;
  return S_OK;
}

HRESULT FakeHost::SaveDockingState(TCustomForm*, DesktopStorage, const char* name) {
  calls.push_back(std::string("SaveDockingState ") + (name != nullptr ? name : ""));
  return S_OK;
}

HRESULT FakeHost::FinishSave(TCustomForm*, DesktopStorage) {
  calls.push_back("FinishSave");
  return S_OK;
}

HRESULT FakeHost::IsDockedPageVisible(TCustomForm*, VARIANT_BOOL* visible) {
  if (visible != nullptr) *visible = VARIANT_TRUE;
  return S_OK;
}

HRESULT FakeHost::GetLanguageIndex(HostLong* index) {
  if (index == nullptr) return E_POINTER;
  *index = languageIndex;
  return S_OK;
}

}  // namespace plugintest
