#pragma once
// The host's project events (positions 3 to 20), raised through the project
// connection point.

#include "hostapi/HostTypes.h"

// {68BA2C66-477F-4622-B7E2-AD6EED14B7FB}
inline constexpr IID IID_IQendProjectEvents = {
    0x68BA2C66, 0x477F, 0x4622, {0xB7, 0xE2, 0xAD, 0x6E, 0xED, 0x14, 0xB7, 0xFB}};

// Sources and codes of the project notification (position 17).
inline constexpr std::uint32_t PROJECT_NOTIFY_SOURCE_PROJECT = 0x100;
inline constexpr std::uint32_t PROJECT_NOTIFY_SOURCE_BUILD = 0x10E;
inline constexpr std::uint32_t PROJECT_NOTIFY_FILES_CHANGED = 17;
inline constexpr std::uint32_t PROJECT_NOTIFY_FILE_LIST = 18;         // HostFileListRequest
inline constexpr std::uint32_t PROJECT_NOTIFY_SHOW_DESIGNER = 22;     // HostShowRequest
inline constexpr std::uint32_t PROJECT_NOTIFY_MESSAGE_CHOSEN = 23;    // HostMessageChoice
inline constexpr std::uint32_t PROJECT_NOTIFY_PANEL_RECORD = 0x38;    // HostPanelRecord
inline constexpr std::uint32_t PROJECT_NOTIFY_PANEL_ROLLCALL = 0x39;  // HostPanelRollCall
inline constexpr std::uint32_t PROJECT_NOTIFY_DATA_READY = 0x90;      // HostDataReady

class IQendProjectEvents : public IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;
  // Position 4: a project was opened.
  virtual HRESULT OnOpenControler() = 0;
  virtual HRESULT Reserved5() = 0;
  // Position 6: may the project close? The sink may leave the answer as it is.
  virtual HRESULT OnQueryCloseProject(std::uint32_t value, VARIANT_BOOL* mayClose) = 0;
  virtual HRESULT Reserved7() = 0;
  // Position 8: may the project close, asked right before OnCloseControler.
  virtual HRESULT OnQueryCloseControler(VARIANT_BOOL* mayClose) = 0;
  // Position 9: the project closes.
  virtual HRESULT OnCloseControler() = 0;
  virtual HRESULT Reserved10() = 0;
  virtual HRESULT Reserved11() = 0;
  // Position 12: the project's variables are available (the sink may now ask
  // the project manager for the IEC variables manager).
  virtual HRESULT OnProjectVariablesReady(std::uint32_t value) = 0;
  virtual HRESULT Reserved13() = 0;
  virtual HRESULT Reserved14() = 0;
  // Position 15 and 16: the closing of a project starts, has ended.
  virtual HRESULT OnProject_StartOfClosingProject() = 0;
  virtual HRESULT EndOfClosingProject() = 0;
  // Position 17: a notification: source, code, the code's record (read only
  // during the call) and a result the sink writes.
  virtual HRESULT OnProjectNotification(std::uint32_t source, std::uint32_t code, void* data, HostLong* result) = 0;
  virtual HRESULT Reserved18() = 0;
  virtual HRESULT Reserved19() = 0;
  virtual HRESULT Reserved20() = 0;

 protected:
  ~IQendProjectEvents() = default;
};
