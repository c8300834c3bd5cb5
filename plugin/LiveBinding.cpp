#include "plugin/LiveBinding.h"

#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "grid/PictureQueueHooks.h"
#include "grid/TransferStart.h"
#include "plugin/CommRecord.h"
#include "plugin/LiveView.h"
#include "plugin/PluginState.h"
#include "plugin/UploadProgress.h"

namespace {

TRecvQueue* QueueOf(void* queue) { return static_cast<TRecvQueue*>(queue); }

void QueuePicture(void* queue, TGridWebElement* owner, const std::string& fileName) {
  QueueOf(queue)->Add(owner, fileName);
}

int FinishQueuedPicture(void* queue, TGridWebElement* owner, std::string& localFile) {
  const int state = QueueOf(queue)->Finish(owner);
  localFile = QueueOf(queue)->LocalFileOf(owner);
  return state;
}

void ForgetQueuedPicture(void* queue, TGridWebElement* owner) { QueueOf(queue)->Remove(owner); }

HWND ShowProgress(TPostFile& upload) {
  return ShowUploadProgress(upload, FormDesign1 != nullptr ? FormDesign1->Handle() : nullptr);
}

}  // namespace

void BindLiveViewHooks() {
  gGridQueuePicture = QueuePicture;
  gGridFinishQueuedPicture = FinishQueuedPicture;
  gGridForgetQueuedPicture = ForgetQueuedPicture;
  gGridShowUploadProgress = ShowProgress;
  gGridCloseUploadProgress = CloseUploadProgress;
}

void UnbindLiveViewHooks() {
  gGridQueuePicture = nullptr;
  gGridFinishQueuedPicture = nullptr;
  gGridForgetQueuedPicture = nullptr;
  gGridShowUploadProgress = nullptr;
  gGridCloseUploadProgress = nullptr;
}

void WireDesignerLiveView(TFormDesign1* designer) {
  designer->FUploadState = &gCommRecord.upload;
  designer->FRecvQueue = &PluginLiveView().Queue();
}

void SyncedReadDataReady() {
  if (FormDesign1 == nullptr) return;
  bool visible = true;
  if (gHost.ifHalvexIDE) {
    VARIANT_BOOL shown = VARIANT_TRUE;
    if (SUCCEEDED(gHost.ifHalvexIDE->IsDockedPageVisible(FormDesign1, &shown))) visible = shown != VARIANT_FALSE;
  }
  PluginLiveView().UpdateSyncedRead(FormDesign1->Handle(), visible);
}
