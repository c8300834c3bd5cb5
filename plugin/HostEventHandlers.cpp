// The plug-in object's answers to the host's project, desktop, menu, CPM,
// communication-state, build and backup events.

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/ScopeExit.h"
#include "core/OpenIniReg.h"
#include "core/ProjectPaths.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "designer/FormDesign1.h"
#include "hostapi/HostRecords.h"
#include "platform/com/ComCheck.h"
#include "platform/com/ResultCodes.h"
#include "platform/win/Paths.h"
#include "platform/win/WindowMessages.h"
#include "plugin/CommRecord.h"
#include "plugin/DesignerLink.h"
#include "plugin/FileTransfers.h"
#include "plugin/LiveBinding.h"
#include "plugin/PluginState.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "plugin/UploadProgress.h"
#include "plugin/VarPosCheck.h"
#include "plugin/WebMainForm.h"
#include "plugin/WebProjectFiles.h"

namespace {

bool SystemFileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ToNativePath(path), ec);
}

// The code an exception of a host event reports: a COM failure keeps its code.
HRESULT ReportEventException(REFIID iid, const std::exception& e) {
  HRESULT code = E_UNEXPECTED;
  if (const auto* ole = dynamic_cast<const EOleSysError*>(&e)) code = ole->ErrorCode();
  return ReportPluginException(iid, e.what(), code);
}

// Appends the project's files to the host's list file: the pictures (from
// the designer's document, or from the project file while the designer is
// closed), then the same files as the online backup.
void AppendProjectFileList(const HostFileListRequest& request) {
  if (request.listFile == nullptr) return;
  std::FILE* file = std::fopen(ToNativePath(request.listFile).c_str(), "ab");
  if (file == nullptr) return;
  const ScopeExit closeFile([file] { std::fclose(file); });
  std::string name = request.projectName != nullptr ? request.projectName : "";
  if (name.empty()) name = GetHostProjectName();
  const std::string folder = LookupHostProjectEntry(name);
  if (folder.empty()) return;
  auto writeLine = [file](const std::string& path) { std::fprintf(file, "%s\r\n", path.c_str()); };
  for (const std::string& image : ProjectImageNames(folder, name))
    writeLine(folder + kProductWord + "\\Images\\" + image);
  ListWebProjectFiles(folder, name, writeLine);
}

}  // namespace

// --- IQendProjectEvents -----------------------------------------------------

HRESULT TTarnwellCoClassImpl::OnOpenControler() {
  try {
    WriteTraceLog("OnOpenControler");
    gProjectClosing = false;
    gBuildDriverRefused = false;
    TclBuildFileName web(gHost.ifPrjMngr.Get(), "Tarnwell", false);
    gWebTdiMapDisabled = web.IsValid() && SystemFileExists(web.GetProjectFolder() + "disable.tdi");
    WriteTraceLog("OnOpenControler - end");
    return S_OK;
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("OnOpenControler - error - ") + e.what());
    return ReportEventException(IID_IQendProjectEvents, e);
  }
}

HRESULT TTarnwellCoClassImpl::OnQueryCloseProject(std::uint32_t, VARIANT_BOOL* mayClose) {
  if (FormDesign1 != nullptr && mayClose != nullptr)
    *mayClose = gCommRecord.upload.state.load(std::memory_order_acquire) == 0 ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::OnQueryCloseControler(VARIANT_BOOL* mayClose) {
  gSavedWithDesktop = false;
  gProjectClosing = true;
  return OnQueryCloseProject(0, mayClose);
}

HRESULT TTarnwellCoClassImpl::OnCloseControler() {
  try {
    WriteTraceLog("OnCloseControler");
    SetCommandEnabled(false);
    WriteTraceLog("check FormDesign1");
    if (FormDesign1 != nullptr) {
      WriteTraceLog("close FormDesign1");
      // A project saved with the desktop just now is not saved again.
      FormDesign1->FSaveOnClose = !gSavedWithDesktop;
      CloseDesigner("delete FormDesign1");
    }
    WriteTraceLog("OnCloseControler - end");
    return S_OK;
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("OnCloseControler - error - ") + e.what());
    return ReportEventException(IID_IQendProjectEvents, e);
  }
}

HRESULT TTarnwellCoClassImpl::OnProjectVariablesReady(std::uint32_t) {
  if (!gHost.ifIECManVariables) gHost.ifIECManVariables = gHost.ifPrjMngr.Query<IIECManVariables>(IID_IIECManVariables);
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::OnProject_StartOfClosingProject() {
  WriteTraceLog("OnProject_StartOfClosingProject");
  WriteTraceLog("OnProject_StartOfClosingProject - end");
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::EndOfClosingProject() {
  try {
    WriteTraceLog("EndOfClosingProject");
    DropDesigner();
    gProjectClosing = false;
    WriteTraceLog("EndOfClosingProject - end");
    return S_OK;
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("EndOfClosingProject - error - ") + e.what());
    return ReportEventException(IID_IQendProjectEvents, e);
  }
}

HRESULT TTarnwellCoClassImpl::OnProjectNotification(std::uint32_t source, std::uint32_t code, void* data,
                                                    HostLong* result) {
  try {
    if (code == PROJECT_NOTIFY_DATA_READY) {
      // New values of the synchronised read go to the designer's live view,
      // and the upload's progress window shows where the upload stands.
      const auto* ready = static_cast<const HostDataReady*>(data);
      if (ready == nullptr || ready->kind != DATA_READY_SYNCED_READ) return S_OK;
      SyncedReadDataReady();
      if (FormUploadProgress != nullptr) PostMessage(FormUploadProgress->Handle(), kMsgCommProgress, 0, 0);
      return S_OK;
    }
    if (source == PROJECT_NOTIFY_SOURCE_PROJECT || source == PROJECT_NOTIFY_SOURCE_BUILD) {
      if (code == PROJECT_NOTIFY_FILE_LIST && data != nullptr) {
        const auto* request = static_cast<const HostFileListRequest*>(data);
        if (request->recordType == FILE_LIST_REQUEST) AppendProjectFileList(*request);
      } else if (code == PROJECT_NOTIFY_SHOW_DESIGNER && data != nullptr) {
        if (static_cast<const HostShowRequest*>(data)->show == 1) ShowDesigner();
      } else if (code == PROJECT_NOTIFY_MESSAGE_CHOSEN && data != nullptr) {
        ShowPageOfMessage(static_cast<const HostMessageChoice*>(data)->source);
      }
    }
    if (code == PROJECT_NOTIFY_PANEL_ROLLCALL && data != nullptr && WebMainForm1) {
      WebMainForm1->PanelList().RollCall(static_cast<const HostPanelRollCall*>(data)->head);
    } else if (code == PROJECT_NOTIFY_PANEL_RECORD && data != nullptr && WebMainForm1) {
      if (!WebMainForm1->PanelList().SingleRecord(*static_cast<const HostPanelRecord*>(data))) return S_OK;
    }
    if (result != nullptr) *result = 0;
    return S_OK;
  } catch (const std::exception& e) {
    HRESULT hr = ReportEventException(IID_IQendProjectEvents, e);
    if (result != nullptr) *result = hr;
    return hr;
  }
}

// --- IQendDesktopEvents -----------------------------------------------------

HRESULT TTarnwellCoClassImpl::LoadDesktop(DesktopStorage storage) {
  try {
    WriteTraceLog("LoadDesktop");
    bool valid = false;
    std::string path;
    try {
      std::string name = GetHostProjectName();
      TclBuildFileName web(gHost.ifPrjMngr.Get(), "Tarnwell", true);
      std::string folder = web.GetDirFromHost();
      path = folder + "Tarnwell\\" + name + ".webx";
      valid = !folder.empty();
    } catch (const std::exception&) {
      valid = false;
    }
    WriteTraceLog(path);
    if (!valid) {
      WriteTraceLog("LoadDesktop - end (delete?)");
      return S_OK;
    }
    TclOpenIniReg settings(gHost.ifPrjMngr.Get(), "Tarnwell", ".webx");
    bool show = false;
    if (TIniFile* ini = settings.GetIniFile(); ini != nullptr && WebMainForm1) {
      WebMainForm1->Global = ini->ReadBool(settings.GetSection(), "Global", false);
      WebMainForm1->GlobalDir = ini->ReadString(settings.GetSection(), "GlobalDir", "Tarnwell");
      show = ini->ReadBool(settings.GetSection(), "Show", false);
    }
    if (show) RestoreDesigner(storage);
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("LoadDesktop - Error: ") + e.what());
  }
  WriteTraceLog("LoadDesktop - end");
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::SaveDesktop(DesktopStorage storage) {
  try {
    WriteTraceLog("SaveDesktop");
    TclOpenIniReg settings(gHost.ifPrjMngr.Get(), "Tarnwell", ".webx");
    TIniFile* ini = settings.GetIniFile();
    if (ini == nullptr) {
      // Without a settings file there is no project to keep the designer for.
      CloseDesigner("delete - FormDesign1");
      WriteTraceLog("SaveDesktop - failed to open inifile with settings! - End");
      return S_OK;
    }
    // The settings file of a project that the designer could not open, or of
    // a run that was refused, is left as it is: another run may be saving
    // the project.
    const bool refused = gBuildDriverRefused ||
                         (FormDesign1 != nullptr && (!FormDesign1->FOpenFailure.empty() || FormDesign1->FRunRefused));
    if (!refused) ini->WriteBool(settings.GetSection(), "Show", FormDesign1 != nullptr && FormDesign1->Visible());
    if (FormDesign1 != nullptr) {
      WriteTraceLog("Save Tarnwell project");
      // Not the user's own save: a lost project is started anew only on their
      // word, and in the host's close a failed save cannot keep the changes.
      FormDesign1->SaveUnasked(gProjectClosing ? TUnsavedChanges::LostWithClose : TUnsavedChanges::KeptInDesigner);
      gSavedWithDesktop = true;
    }
    if (gHost.ifHalvexIDE != nullptr) {
      if (SUCCEEDED(gHost.ifHalvexIDE->SaveDockingState(FormDesign1, storage, "FormDesign1"))) {
        // Hosts whose desktop storage has streams keep the further state too.
        if (gHost.ifHalvexIDE.Query<IUnknown>(IID_IQendOptionsStorageStreams))
          gHost.ifHalvexIDE->SaveFurtherState(FormDesign1, storage);
        gHost.ifHalvexIDE->FinishSave(FormDesign1, storage);
      }
    }
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("SaveDesktop - Error: ") + e.what());
  }
  WriteTraceLog("SaveDesktop - End");
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::OnLanguageChanged(HostLcid language, std::uint32_t) {
  int index = UI_LANG_ENGLISH;
  switch (language) {
    case 1029: index = UI_LANG_CZECH; break;
    case 1031: index = UI_LANG_GERMAN; break;
    case 1045: index = UI_LANG_POLISH; break;
    case 1049: index = UI_LANG_RUSSIAN; break;
    default: break;
  }
  SelectUiLanguage(index);
  // An open designer shows the new language at once.
  if (FormDesign1 != nullptr) FormDesign1->ApplyLanguageTexts();
  return S_OK;
}

// --- menu, CPM, communication state ------------------------------------------

HRESULT TTarnwellCoClassImpl::OnMenuCommand(HostLong commandId) {
  if (commandId != 0 && commandId == gCommandId) ShowDesigner();
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::OnCpmChanged(std::uint32_t, HostLong cpmType, std::uint32_t) {
  WriteTraceLog("OnCpmChanged");
  SetCommandEnabled(cpmType >= 6);
  gCpmType = cpmType;
  WriteTraceLog("OnCpmChanged - end");
  return S_OK;
}

namespace {

void CommunicationState(VARIANT_BOOL on) {
  if (on != VARIANT_FALSE) return;
  EndTransfersOffline();
}

}  // namespace

HRESULT TTarnwellCoClassImpl::OnCommunicationState(VARIANT_BOOL on) {
  CommunicationState(on);
  return S_OK;
}

HRESULT TTarnwellCoClassImpl::OnCommunicationStateEx(VARIANT_BOOL on) {
  CommunicationState(on);
  return S_OK;
}

// --- build and backup ---------------------------------------------------------

// OnLinkingExtendedProgMap: BuildEvent.cpp.

HRESULT TTarnwellCoClassImpl::AddFileToOnlinePlcBackup(IHalvexOnlinePlcBackup* backup) {
  // The host's reference to the backup object comes with the call and goes
  // back with it, also after an error.
  const auto passed = ComPtr<IHalvexOnlinePlcBackup>::Adopt(backup);
  try {
    WriteTraceLog("AddFileToOnlinePlcBackup");
    if (backup != nullptr) {
      const std::string name = GetHostProjectName();
      ListWebProjectFiles(LookupHostProjectEntry(name), name,
                          [backup](const std::string& path) { backup->AddFile(path.c_str(), 0); });
    }
    WriteTraceLog("AddFileToOnlinePlcBackup - End");
    return S_OK;
  } catch (const std::exception& e) {
    return ReportEventException(IID_IHalvexOnlinePlcBackupEvent, e);
  }
}
