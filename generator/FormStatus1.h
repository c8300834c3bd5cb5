#pragma once
// TFormStatus1: the small window that reports a compile of the web project:
// the output folder, the state (compiling, without errors, or the error),
// and the numbers of files and images written. The save-and-compile command
// (and the compile driver of the host's build) creates it for one run,
// shows it modeless while the compile runs, writes the values straight into
// its value panels and at the end shows it modally until the user closes it.
// A compile for the host's build creates and updates it but never shows it.

#include "platform/vcl/Form.h"

class TButton;
class TPanel;

class TFormStatus1 : public TForm {
 public:
  // Builds the components and sets the form's font; the owner is the
  // designer form.
  explicit TFormStatus1(TComponent* AOwner);

  // Sets the row labels and the button's caption from the UI texts of the
  // current language (bound to the form's activation).
  void FormActivate(TObject* Sender);

  // F1 (the window's help message) opens the help; every other message goes
  // to the form's own handling.
  void Dispatch(void* message) override;

  // The components, owned by the form.
  TPanel* Panel1 = nullptr;
  TButton* Button1 = nullptr;
  TPanel* MainPanel = nullptr;
  TPanel* pnlOutput = nullptr;
  TPanel* pnlPath = nullptr;
  TPanel* pnlGenerated = nullptr;
  TPanel* pnlStatus = nullptr;
  TPanel* pnlFiles = nullptr;
  TPanel* pnlFileNum = nullptr;
  TPanel* pnlImages = nullptr;
  TPanel* pnlImgNum = nullptr;

 private:
  void CreateComponents();
  // The output and state values start after the wider of their two row
  // labels, which are longer in some languages, and keep their right edge.
  void PlaceValuePanels();
};
