#pragma once
// The files a command writes beside the project's own save: the settings
// file NAME.webx (the dialogs' sizes and places, the folders last used), the
// global settings' marker files. One that cannot be written (a full disk, a
// file that may not be changed) keeps what it held, and the command goes on:
// what the user did stays in the project, which the next save writes. The
// user is told once a command, in one box that names each file, when the
// command ends.
//
// A command holds a TWriteFailureNotice while it runs (the designer's tool
// buttons and menu items each do, see designer/DesignerLayout.cpp); the
// outermost one tells. A failure noted while no notice is held (a dialog that
// opens some other way) is told at once.

#include <functional>
#include <string>

class TWriteFailureNotice {
 public:
  TWriteFailureNotice() noexcept;
  // Tells what failed while this was the outermost notice.
  ~TWriteFailureNotice();
  TWriteFailureNotice(const TWriteFailureNotice&) = delete;
  TWriteFailureNotice& operator=(const TWriteFailureNotice&) = delete;

 private:
  bool outermost_;
};

// Notes that `file` (a system path) could not be written.
void NoteWriteFailure(const std::string& file);

// Runs `write`, which writes settings files (TIniFile); a file it cannot
// write is noted instead of raising EIniFileException. False when one was.
bool WriteSettings(const std::function<void()>& write);
