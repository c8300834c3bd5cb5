// The clipboard's text between the program and another X client, through
// the CLIPBOARD selection, in the ANSI code page on the program's side.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/Driver.h"
#include "platform/win/CodePage.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Clipboard.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Text.h"
#include "tests/platform/x11/X11ServerTest.h"

namespace {

class X11ClipboardTest : public X11ServerTest {
 protected:
  void SetUp() override {
    X11ServerTest::SetUp();
    if (!backend) return;
    // The other client: a connection and a window of its own.
    other = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(other, nullptr);
    otherWindow = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    clipboard = XInternAtom(other, "CLIPBOARD", False);
    utf8 = XInternAtom(other, "UTF8_STRING", False);
    TX11Clipboard::SetProcessText("");
  }
  void TearDown() override {
    if (other != nullptr) XCloseDisplay(other);
    X11ServerTest::TearDown();
  }

  ::Display* other = nullptr;
  ::Window otherWindow = 0;
  Atom clipboard = 0;
  Atom utf8 = 0;
};

TEST_F(X11ClipboardTest, TextTheProgramCopiesIsOfferedAsUtf8) {
  Clipboard()->SetAsText(
      "Gr\xFC\xDF"
      "e aus K\xF6ln");  // windows-1252
  backend->Pump(0);
  const Atom property = XInternAtom(other, "OTHER_PROPERTY", False);
  XConvertSelection(other, clipboard, utf8, property, otherWindow, CurrentTime);
  XFlush(other);
  std::string received;
  bool answered = false;
  for (int i = 0; i < 500 && !answered; ++i) {
    backend->Pump(10);
    while (XPending(other) > 0) {
      XEvent event;
      XNextEvent(other, &event);
      if (event.type != SelectionNotify) continue;
      answered = true;
      ASSERT_EQ(event.xselection.property, property) << "the owner refused";
      Atom type;
      int format;
      unsigned long count, after;
      unsigned char* data = nullptr;
      XGetWindowProperty(other, otherWindow, property, 0, 1 << 16, True, AnyPropertyType, &type, &format, &count,
                         &after, &data);
      EXPECT_EQ(type, utf8);
      received.assign(reinterpret_cast<const char*>(data), count);
      XFree(data);
    }
  }
  ASSERT_TRUE(answered);
  EXPECT_EQ(received, "Grü\u00dfe aus Köln");
}

// Another X client on a thread of its own, as another program: it holds the
// clipboard with the text it was given last and answers every request for
// it in UTF-8.
class TOtherProgram {
 public:
  explicit TOtherProgram(const std::string& display) : x_(XOpenDisplay(display.c_str())) {
    if (x_ == nullptr) return;
    window_ = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 0, 0, 1, 1, 0, 0, 0);
    clipboard_ = XInternAtom(x_, "CLIPBOARD", False);
    utf8_ = XInternAtom(x_, "UTF8_STRING", False);
    thread_ = std::thread([this] { Run(); });
  }
  ~TOtherProgram() {
    if (x_ == nullptr) return;
    stop_ = true;
    thread_.join();
    XCloseDisplay(x_);
  }
  bool Connected() const { return x_ != nullptr; }
  ::Window Window() const { return window_; }
  // Takes the clipboard with the text; returns when it holds it.
  void Offer(const std::string& text) {
    std::unique_lock<std::mutex> lock(mutex_);
    text_ = text;
    ++wanted_;
    lost_ = false;
    changed_.wait(lock, [this] { return taken_ == wanted_; });
  }
  // Whether it lost the clipboard to another client since its last offer
  // (waits a while for the news).
  bool Lost() {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), [this] { return lost_; });
  }

 private:
  void Run() {
    std::string offered;
    while (!stop_) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (taken_ != wanted_) {
          offered = text_;
          XSetSelectionOwner(x_, clipboard_, window_, CurrentTime);
          XSync(x_, False);
          taken_ = wanted_;
          changed_.notify_all();
        }
      }
      while (XPending(x_) > 0) {
        XEvent event;
        XNextEvent(x_, &event);
        if (event.type == SelectionClear) {
          std::lock_guard<std::mutex> lock(mutex_);
          lost_ = true;
          changed_.notify_all();
        }
        if (event.type != SelectionRequest) continue;
        const XSelectionRequestEvent& r = event.xselectionrequest;
        XSelectionEvent reply{SelectionNotify, 0, True, x_, r.requestor, r.selection, r.target, None, r.time};
        if (r.target == utf8_) {
          XChangeProperty(x_, r.requestor, r.property, utf8_, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(offered.data()), static_cast<int>(offered.size()));
          reply.property = r.property;
        }
        XSendEvent(x_, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
        XFlush(x_);
      }
      pollfd wait{ConnectionNumber(x_), POLLIN, 0};
      poll(&wait, 1, 10);
    }
  }

  ::Display* x_;
  ::Window window_ = 0;
  Atom clipboard_ = 0;
  Atom utf8_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string text_;
  int wanted_ = 0;
  int taken_ = 0;
  bool lost_ = false;
};

TEST_F(X11ClipboardTest, TextAnotherProgramHoldsIsAskedForWhenTheProgramReadsItsClipboard) {
  TOtherProgram program(server.Name());
  ASSERT_TRUE(program.Connected());
  program.Offer("Zürich \u20ac 5 \u4e2d");  // the last one is not in windows-1252
  EXPECT_EQ(Clipboard()->AsText(), "Z\xFCrich \x80 5 ?");
  // Taken from the other program: the program does not take the clipboard back.
  backend->Pump(0);
  EXPECT_EQ(XGetSelectionOwner(other, clipboard), program.Window());
}

// Another program's text, the program's own copy, then another program's
// text again, with no round of the back end between: each read takes the
// newest. A copy of a text the program copied before takes the clipboard
// back too.
TEST_F(X11ClipboardTest, AReadTakesWhatTheClipboardHoldsWhenItIsMade) {
  TOtherProgram program(server.Name());
  ASSERT_TRUE(program.Connected());
  program.Offer("AAA");
  EXPECT_EQ(Clipboard()->AsText(), "AAA");
  Clipboard()->SetAsText("<clipboard />");
  EXPECT_EQ(Clipboard()->AsText(), "<clipboard />");
  EXPECT_TRUE(program.Lost());
  program.Offer("BBB");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_EQ(Clipboard()->AsUnicodeText(), u"BBB");
  Clipboard()->SetAsText("<clipboard />");
  EXPECT_EQ(Clipboard()->AsText(), "<clipboard />");
  EXPECT_TRUE(program.Lost());
}

// The other program holds the clipboard and never answers: the read ends
// (after the time limit) with nothing, not with the program's older copy.
TEST_F(X11ClipboardTest, AClipboardWhoseOwnerDoesNotAnswerHoldsNothing) {
  Clipboard()->SetAsText("older");
  backend->Pump(0);
  XSetSelectionOwner(other, clipboard, otherWindow, CurrentTime);
  XSync(other, False);
  EXPECT_EQ(Clipboard()->AsText(), "");
}

// xclip as the other program, in the foreground: it holds the clipboard
// with its text until another client takes it, or until it is ended.
class TXclip {
 public:
  TXclip(const std::string& display, const std::string& text) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      dup2(fds[0], STDIN_FILENO);
      close(fds[0]);
      // In the foreground xclip tells each request it serves: not the test's output.
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      close(fds[1]);
      setenv("DISPLAY", display.c_str(), 1);
      execlp("xclip", "xclip", "-quiet", "-selection", "clipboard", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[0]);
    const bool written = write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fds[1]);
    if (!written) End();
  }
  ~TXclip() { End(); }
  TXclip(const TXclip&) = delete;
  TXclip& operator=(const TXclip&) = delete;
  void End() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// Waits (at most ten seconds) until the clipboard's owner is or is not `owner`.
bool WaitForOwner(::Display* x, Atom clipboard, bool is, ::Window owner) {
  for (int i = 0; i < 1000; ++i) {
    if ((XGetSelectionOwner(x, clipboard) == owner) == is) return true;
    poll(nullptr, 0, 10);
  }
  return false;
}

// What the clipboard held before, then a text xclip copied, then xclip
// ends: the clipboard has no owner and a read finds nothing, neither the
// other program's older text nor the program's own older copy.
TEST_F(X11ClipboardTest, AClipboardWhoseOwnerHasEndedHoldsNothing) {
  const struct {
    const char* before;
    bool programCopied;
  } rows[] = {{"AAA", false}, {"<clipboard />", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.before);
    std::unique_ptr<TXclip> earlier;
    if (row.programCopied) {
      Clipboard()->SetAsText(row.before);
      backend->Pump(0);
    } else {
      earlier = std::make_unique<TXclip>(server.Name(), row.before);
      ASSERT_TRUE(WaitForOwner(other, clipboard, false, None));
    }
    ASSERT_EQ(Clipboard()->AsText(), row.before);
    const ::Window before = XGetSelectionOwner(other, clipboard);
    TXclip later(server.Name(), "CCC");
    ASSERT_TRUE(WaitForOwner(other, clipboard, false, before));
    ASSERT_TRUE(WaitForOwner(other, clipboard, false, None));
    later.End();
    ASSERT_TRUE(WaitForOwner(other, clipboard, true, None));
    EXPECT_EQ(Clipboard()->AsText(), "");
    EXPECT_FALSE(Clipboard()->HasFormat(CF_UNICODETEXT));
  }
}

// Another program's text in the English UI (windows-1252): the Unicode text
// keeps the letters the code page lacks; only the 8-bit one loses them.
TEST_F(X11ClipboardTest, TheUnicodeTextOfAnotherProgramKeepsEveryLetter) {
  const UINT saved = GetACP();
  SetAnsiCodePage(1252);
  TXclip program(server.Name(), "\u010Cerpadlo \u017E\u00E1dn\u00E9");
  ASSERT_TRUE(WaitForOwner(other, clipboard, false, None));
  EXPECT_EQ(Clipboard()->AsUnicodeText(), u"\u010Cerpadlo \u017E\u00E1dn\u00E9");
  EXPECT_EQ(Clipboard()->AsText(), "?erpadlo \x9E\xE1\x64n\xE9");
  SetAnsiCodePage(saved);
}

TEST(X11Text, AnsiAndUtf8RoundTripWhatTheCodePageHas) {
  EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80"), "café €");
  EXPECT_EQ(Utf8ToAnsi("café €"), "caf\xE9 \x80");
  EXPECT_EQ(Utf8ToAnsi("\u4e2d"), "?");
}

}  // namespace
