#pragma once
// The files a command writes beside the project's own save: the settings
// file NAME.webx (the dialogs' sizes and places, the folders last used), the
// global settings' marker files. One that cannot be written (a full disk, a
// file that may not be changed) keeps what it held, and the command goes on:
// what the user did stays in the project, which the next save writes. The
// user is told once a command, in one box that names each file, when the
// command ends.
//
// A command holds a TWriteFailureNotice while it runs (the designer shows its
// dialogs through ShowModalWithNotice); the outermost one tells. A failure
// noted while no notice is held is told at once.
//
// The designer's close holds one too: what it writes for the next run (the
// colour dialog's custom colours) nothing writes after it, so what the close
// could not write is lost with it and is told as an error.

#include <functional>
#include <string>

class TCustomForm;

// What becomes of what a notice's files did not take: a later save or
// command writes it again (the box is a warning), or it goes with the close
// (the box is an error).
enum class TWriteFailureLoss { kWrittenLater, kLostWithClose };

class TWriteFailureNotice {
 public:
  // The outermost notice's loss sets its box's icon.
  explicit TWriteFailureNotice(TWriteFailureLoss loss = TWriteFailureLoss::kWrittenLater) noexcept;
  // Tells what failed while this was the outermost notice.
  ~TWriteFailureNotice();
  TWriteFailureNotice(const TWriteFailureNotice&) = delete;
  TWriteFailureNotice& operator=(const TWriteFailureNotice&) = delete;

 private:
  bool outermost_;
  TWriteFailureLoss loss_;
};

// Notes that `file` (a system path) could not be written, and why in the
// system's words ("Permission denied"; empty when unknown).
void NoteWriteFailure(const std::string& file, const std::string& reason = {});

// The line that tells of one such file: its path as shown, "could not be
// written", the reason when known, and that it is kept as it was.
std::string WriteFailureLine(const std::string& file, const std::string& reason);

// The system's words for an errno value, as the reason of a failed write.
std::string WriteFailureReason(int error);
// The command's own error names `file` and why it could not be written: the
// box of the notice held leaves it out, noted before or after, so that one
// command tells a file once. Nothing while no notice is held.
void WriteFailureToldElsewhere(const std::string& file);

// Runs `write`, which writes settings files (TIniFile); a file it cannot
// write is noted instead of raising EIniFileException. False when one was.
bool WriteSettings(const std::function<void()>& write);

// Shows the form modally while holding a notice, so that what it and the
// dialogs it opens could not write is told once, after it closed. Answers
// the modal result.
int ShowModalWithNotice(TCustomForm& form);
