#pragma once
// Window handles, window procedures and the message queues, in place of the
// Win32 user interface.
//
// A window is a handle with a procedure; it belongs to the thread that made
// it. Each thread has one queue. PostMessage appends to the queue of the
// window's thread and may be called from any thread; SendMessage calls the
// procedure at once on the window's own thread (from another thread it waits
// until the window's thread takes the message from its queue, as Win32
// does). PeekMessage and DispatchMessage take messages out of the calling
// thread's queue; due timers (WindowTimers.h) come out of it as WM_TIMER when
// no posted message is waiting.

#include <functional>
#include <thread>

#include "platform/win/WindowTypes.h"

// Window messages the system sends, posts or handles.
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_HELP = 0x0053;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_NCHITTEST = 0x0084;
inline constexpr UINT WM_GETDLGCODE = 0x0087;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_SYSKEYUP = 0x0105;
inline constexpr UINT WM_SYSCHAR = 0x0106;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
inline constexpr UINT WM_MBUTTONDOWN = 0x0207;
inline constexpr UINT WM_MBUTTONUP = 0x0208;
inline constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_CUT = 0x0300;
inline constexpr UINT WM_COPY = 0x0301;
inline constexpr UINT WM_PASTE = 0x0302;
inline constexpr UINT WM_CLEAR = 0x0303;
inline constexpr UINT WM_UNDO = 0x0304;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT WM_APP = 0x8000;

// Mouse message key flags (WParam of the mouse messages).
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr WPARAM MK_SHIFT = 0x0004;
inline constexpr WPARAM MK_CONTROL = 0x0008;
inline constexpr WPARAM MK_MBUTTON = 0x0010;
inline constexpr int WHEEL_DELTA = 120;

// Hit test answers.
inline constexpr LRESULT HTNOWHERE = 0;
inline constexpr LRESULT HTCLIENT = 1;
inline constexpr LRESULT HTTRANSPARENT = -1;

// PeekMessage: leave the message in the queue, or take it out.
inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;

// WM_HELP: the LParam points at this record.
inline constexpr int HELPINFO_WINDOW = 1;
inline constexpr int HELPINFO_MENUITEM = 2;
struct HELPINFO {
  UINT cbSize = sizeof(HELPINFO);
  int iContextType = HELPINFO_WINDOW;
  int iCtrlId = 0;
  HANDLE hItemHandle = nullptr;
  std::uintptr_t dwContextId = 0;
  POINT MousePos;
};

// The procedure of a window: gets every message sent or dispatched to it.
using WindowProcedure = std::function<LRESULT(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)>;

// A new window on the calling thread, enabled, with `parent` (or none). The
// class library creates the windows of its controls and forms through this.
HWND CreateWindowHandle(WindowProcedure procedure, HWND parent = nullptr);

// Sends WM_DESTROY, destroys the child windows, kills the window's timers and
// forgets the handle; later messages to it are dropped. FALSE for a handle
// that is no window or that belongs to another thread.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);

// The window's procedure, called at once (see above); 0 for a handle that is
// no window.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Appends the message to the queue of the window's thread; FALSE for a handle
// that is no window. A null handle posts to the calling thread's own queue
// (a thread message, which DispatchMessage ignores).
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The first message of the calling thread's queue for `hwnd` (null: any)
// whose number lies in [filterMin, filterMax] (both 0: any). Messages sent
// from other threads are delivered first. A due timer comes out as WM_TIMER
// when no posted message matches. FALSE when nothing is waiting.
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);

// Hands a message from PeekMessage to its window's procedure (a WM_TIMER
// with a timer procedure to that procedure) and answers its result.
LRESULT DispatchMessage(const MSG* msg);

// Enables or disables mouse and keyboard input to the window; sends
// WM_ENABLE when the state changes. Answers nonzero when the window was
// disabled before.
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);

// The number of messages posted to the calling thread's queue and not yet
// taken out (timers not counted).
int PendingMessageCount();

namespace window_messages {
// The thread a window belongs to; false for a handle that is no window.
bool OwnerThread(HWND hwnd, std::thread::id* owner);
}  // namespace window_messages
