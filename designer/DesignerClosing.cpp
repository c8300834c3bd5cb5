// TFormDesign1: closing and destruction. The close query refuses while the
// pages are being created or a file upload to the PLC runs, saves the project
// when the plug-in frame asks for it (and refuses when that save failed and
// the close may wait), and ends the live view: its windows,
// its variable entries and the read items the host holds. Closing stores the
// placement, empties the live view's download folder and hides the window;
// destruction stores the custom colours and frees the document.

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/TraceLog.h"
#include "core/WriteFailureNotice.h"
#include "designer/CustomColors.h"
#include "designer/DownloadFolder.h"
#include "designer/FormDesign1.h"
#include "grid/PlaceholderResolver.h"
#include "pictures/PictureCache.h"
#include "pictures/PngLibrary.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/RegistryStore.h"
#include "project/DebugList.h"

namespace {

// "0x" and the address as 8 hexadecimal digits, as the trace shows objects.
std::string AddressText(const void* object) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(object)));
  return text;
}

}  // namespace

void TFormDesign1::FormCloseQuery(TObject*, bool& canClose) {
  canClose = true;
  WriteTraceLog("FormCloseQuery");
  if (compileState.compileRunning) {
    canClose = false;
    WriteTraceLog("FormCloseQuery - end - Can't close - Creating pages");
    return;
  }
  // Changes that could not be saved keep the designer open where the close
  // may be refused; a close that cannot wait tells the user they are lost.
  const TUnsavedChanges unsaved = FCloseForced ? TUnsavedChanges::LostWithClose : TUnsavedChanges::CloseRefused;
  if (FSaveOnClose && SaveRefusedJustNow()) {
    // The refusal was told moments ago; a close that cannot wait still says
    // that the changes go with it.
    if (FCloseForced && document_->Modified()) document_->TellChangesLost(host_->ProjectLocation());
  } else if (FSaveOnClose && !SaveUnasked(unsaved) && !FCloseForced) {
    canClose = false;
    WriteTraceLog("FormCloseQuery - end - Can't close - the project is not saved");
    return;
  }
  FSaveOnClose = true;
  if (host_->UploadRunning()) {
    canClose = false;
    WriteTraceLog("FormCloseQuery - end - Can't close");
    return;
  }
  host_->StopLiveView();
  CloseLiveViewWindows();
  WriteTraceLog("Delete CommItems");
  host_->FreeCommItems();
  ReleaseReadItems();
  WriteTraceLog("FormCloseQuery - end");
}

// The host's close saves with the desktop and then closes the designer, which
// saves again: a save refused and told moments ago, with nothing changed since
// and the refusal still standing, would only show the same box a second time.
bool TFormDesign1::SaveRefusedJustNow() const {
  return FSaveRefusalShown && !document_->SaveRefusal(host_->ProjectLocation()).empty();
}

// Each live-view window takes itself out of the list when it closes; one
// that stays in it anyway is taken out here, so that the loop ends.
void TFormDesign1::CloseLiveViewWindows() {
  while (FDebugList->Count() > 0) {
    TForm* window = FDebugList->Items(0);
    WriteTraceLog("Close debug window");
    window->Close();
    WriteTraceLog("ProcessMessages");
    Application->ProcessMessages();
    if (FDebugList->Count() > 0 && FDebugList->Items(0) == window) FDebugList->Remove(window);
  }
}

void TFormDesign1::ReleaseReadItems() {
  ComPtr<IHalvexSyncedPlcRead> syncedRead = host_->SyncedRead();
  if (!FReadItems.empty() && syncedRead) {
    WriteTraceLog("ifHalvexSyncedPlcRead->ReleaseObjects");
    syncedRead->ReleaseObjects(static_cast<std::uint32_t>(FReadItems.size()), FReadItems.data());
  }
  FReadItems.clear();
}

void TFormDesign1::FormClose(TObject*, TCloseAction& action) {
  WriteTraceLog("FormClose");
  // The placement goes into the project's settings file, which is left as it
  // is for a project that was not opened, or a run that was refused (another
  // run may be saving it).
  if (host_->Ide() && FOpenFailure.empty() && !FRunRefused) SaveFormPlacement();
  WriteTraceLog("Delete directory");
  const std::string downloads = host_->DownloadFolder();
  if (!EmptyDownloadFolder(downloads, ProjectTempFolder(host_->ProjectLocation())))
    WriteTraceLog("Delete directory - left alone: \"" + downloads + "\"");
  WriteTraceLog("delete WebNameConvertor " + AddressText(FWebNameConvertor.get()));
  FWebNameConvertor.reset();
  action = caHide;
  WriteTraceLog("FormClose - end");
}

void TFormDesign1::FormDestroy(TObject*) {
  WriteTraceLog("FormDestroy");
  DestroyPictureCache();
  UnloadPngLibrary();
  // Custom colours the registry does not take are lost for the next run: the
  // close's notice, or at once, tells so.
  if (const int error = StoreCustomColors(*ColorDialog1->CustomColors()); error != 0)
    NoteWriteFailure(RegistryStore::Path(), WriteFailureReason(error));
  // The surface and the tree let go of the document before it is freed. The
  // window's own lists go with the window.
  FTreeChangeSuppressed = true;
  FCurrentPage = nullptr;
  ClearDesignElements();
  tvPageList->Items()->Clear();
  document_->Clear();
  WriteTraceLog("FormDesign1 = NULL");
  if (FormDesign1 == this) FormDesign1 = nullptr;
  WriteTraceLog("FormDestroy - end");
}
