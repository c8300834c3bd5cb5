#pragma once
// Starting the live view's transfers on the user-interface thread: the
// starter fills every field of the record while its state is idle and
// publishes it last, by storing state 1 with release order.

#include <string>

#include "grid/TransferRecords.h"

// Opens the local file (a system path) for an upload into `plcPath` and fills
// the record's fields; false, with the record unchanged but the local name,
// when the upload runs already, the file cannot be opened or is larger than
// the PLC takes.
bool PrepareUpload(TPostFile& upload, const std::string& localName, const std::string& plcPath, bool* doneFlag);
// The upload's target in the PLC for a local file name (without folder, in
// UTF-8): "//WWW/UPLOAD/" and the upload name, upper-cased, with every
// character outside 0-9, A-Z, '-', '_', '.' and '/' turned into '_' (the
// PLC's 8.3 file system refuses blanks, '#', '&', '%', '+'). Empty when no
// name can be formed.
std::string UploadPlcPath(const std::string& fileName);

// Hands the prepared upload to the communication loop.
void PublishUpload(TPostFile& upload, HWND progressWindow);

// Hands a download of `plcPath` into the temporary file `localName` to the
// communication loop, with the stored times of the local copy (0 when none).
// False when a download still runs.
bool StartDownload(TRecvFile& download, const std::string& plcPath, const std::string& localName,
                   std::uint64_t creationTime, std::uint64_t writeTime);

// Shows the progress window of an upload and answers its window handle (the
// plug-in binds it; none: no window).
using TGridShowUploadProgress = HWND (*)(TPostFile& upload);
extern TGridShowUploadProgress gGridShowUploadProgress;
// Closes the progress window of an earlier upload that is still open (a
// failed upload leaves it for the user). Its closing cancels the upload it
// showed, so it runs before the next upload is prepared.
using TGridCloseUploadProgress = void (*)();
extern TGridCloseUploadProgress gGridCloseUploadProgress;
