#pragma once
// Binds the page-object layer's live-view hooks to the plug-in: the picture
// download queue of string pictures and the upload progress window of
// file-upload objects; and hands the designer the process-wide transfer
// records.

class TFormDesign1;

void BindLiveViewHooks();
void UnbindLiveViewHooks();
// The designer's upload record and picture queue.
void WireDesignerLiveView(TFormDesign1* designer);
// The host announced synchronised-read data: the designer's read goes on.
void SyncedReadDataReady();
