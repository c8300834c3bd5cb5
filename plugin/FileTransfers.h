#pragma once
// The two transfer machines the communication-loop callback advances by one
// step a call: the upload of a local file into the PLC's "//WWW/UPLOAD/"
// folder and the download of a PLC file into a local temporary file.
//
// An upload counts as complete only when every byte was written and the
// final close answered status 0; only then is the starting object's done flag
// set. A download ends as done (4) only when every byte arrived (or the
// PLC file equals the local copy); every other end is 0, with the temporary
// file deleted. Counts that the PLC delivers are checked: more than asked
// for, none, or past the file's size fails the transfer.

#include "grid/TransferRecords.h"
#include "hostapi/CommLoop.h"

// Posted to the progress window after each step of an active upload and to
// the designer after each variable pass.
inline constexpr UINT kMsgCommProgress = 0x8578;

// Advances the upload by one step (the data phase writes up to five blocks).
void StepUpload(TPostFile& upload, CommSendFunction send);
// Advances the download by one step (the data phase reads up to five blocks).
void StepDownload(TRecvFile& download, CommSendFunction send);

// The PLC went offline: both transfers end in state 0, finished or not,
// their local files closed (a partial temporary file stays; only a whole
// download is ever put in place), and an open progress window is asked to
// close. Called only while no callback runs.
void AbortTransfers(TPostFile& upload, TRecvFile& download);
