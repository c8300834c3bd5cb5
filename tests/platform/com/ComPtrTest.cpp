// ComPtr: the references it adds and gives back, counted on objects that
// keep their count readable.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "ComTestSupport.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ResultCodes.h"

namespace {

using comtest::ITestEvents;
using comtest::TestSink;

// Each row does something with ComPtrs to `a` and `b` (both made with the
// creator's one reference) and says how many references each holds while
// the pointers live, and after they are gone.
struct ReferenceCase {
  const char* what;
  // Runs the operation; `during` is called while the pointers still live.
  std::function<void(TestSink& a, TestSink& b, const std::function<void()>& during)> run;
  ULONG aDuring;
  ULONG bDuring;
};

const ReferenceCase kReferenceCases[] = {
    {"made from a raw pointer: one added",
     [](TestSink& a, TestSink&, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       during();
     },
     2, 1},
    {"adopted: none added, one given back",
     [](TestSink& a, TestSink&, const auto& during) {
       a.AddRef();  // the reference a creating call would have added
       auto p = ComPtr<ITestEvents>::Adopt(&a);
       during();
     },
     2, 1},
    {"copied: one more",
     [](TestSink& a, TestSink&, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       ComPtr<ITestEvents> copy = p;
       during();
     },
     3, 1},
    {"moved: the same one",
     [](TestSink& a, TestSink&, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       ComPtr<ITestEvents> moved = std::move(p);
       EXPECT_FALSE(p);
       during();
     },
     2, 1},
    {"copy-assigned over another: the other's given back",
     [](TestSink& a, TestSink& b, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       ComPtr<ITestEvents> q(&b);
       q = p;
       during();
     },
     3, 1},
    {"move-assigned over another: the other's given back",
     [](TestSink& a, TestSink& b, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       ComPtr<ITestEvents> q(&b);
       q = std::move(p);
       during();
     },
     2, 1},
    {"assigned to itself: unchanged",
     [](TestSink& a, TestSink&, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       ComPtr<ITestEvents>& same = p;
       p = same;
       p = std::move(same);
       during();
     },
     2, 1},
    {"assigned null: given back at once",
     [](TestSink& a, TestSink&, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       p = nullptr;
       EXPECT_FALSE(p);
       during();
     },
     1, 1},
    {"reset twice: given back once",
     [](TestSink& a, TestSink&, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       p.Reset();
       p.Reset();
       during();
     },
     1, 1},
    {"swapped: each keeps one",
     [](TestSink& a, TestSink& b, const auto& during) {
       ComPtr<ITestEvents> p(&a);
       ComPtr<ITestEvents> q(&b);
       p.Swap(q);
       EXPECT_EQ(p.Get(), &b);
       EXPECT_EQ(q.Get(), &a);
       during();
     },
     2, 2},
};

TEST(ComPtr, AddsAndGivesBackReferences) {
  for (const ReferenceCase& c : kReferenceCases) {
    SCOPED_TRACE(c.what);
    TestSink a;
    TestSink b;
    ULONG aDuring = 0;
    ULONG bDuring = 0;
    c.run(a, b, [&] {
      aDuring = a.refs;
      bDuring = b.refs;
    });
    EXPECT_EQ(aDuring, c.aDuring);
    EXPECT_EQ(bDuring, c.bDuring);
    // Every pointer is gone: only the creators' references are left.
    EXPECT_EQ(a.refs, 1u);
    EXPECT_EQ(b.refs, 1u);
  }
}

TEST(ComPtr, PutGivesBackWhatIsHeldAndTakesTheCallsReference) {
  TestSink a;
  TestSink b;
  ComPtr<ITestEvents> p(&a);
  // An out-parameter call that fails leaves the pointer empty; the old
  // reference is given back before the call.
  EXPECT_EQ(a.QueryInterface(IID_IUnknown, p.PutVoid()), S_OK);
  EXPECT_EQ(a.refs, 2u);  // the creator's and the call's, now p's
  EXPECT_EQ(b.QueryInterface(comtest::IID_ITestEvents, p.PutVoid()), S_OK);
  EXPECT_EQ(a.refs, 1u);
  EXPECT_EQ(b.refs, 2u);
  EXPECT_EQ(p.Get(), static_cast<ITestEvents*>(&b));
  b.answersEvents = false;
  EXPECT_EQ(b.QueryInterface(comtest::IID_ITestEvents, p.PutVoid()), E_NOINTERFACE);
  EXPECT_FALSE(p);
  EXPECT_EQ(b.refs, 1u);
}

TEST(ComPtr, DetachHandsTheReferenceToTheCaller) {
  TestSink a;
  ITestEvents* raw = nullptr;
  {
    ComPtr<ITestEvents> p(&a);
    raw = p.Detach();
    EXPECT_FALSE(p);
    EXPECT_EQ(p.Detach(), nullptr);
  }
  EXPECT_EQ(raw, static_cast<ITestEvents*>(&a));
  EXPECT_EQ(a.refs, 2u);  // the detached reference is the caller's now
  EXPECT_EQ(raw->Release(), 1u);
}

TEST(ComPtr, QueryAnswersAnotherInterfaceOrAnEmptyPointer) {
  TestSink a;
  ComPtr<IUnknown> unknown(&a);
  {
    ComPtr<ITestEvents> events = unknown.Query<ITestEvents>(comtest::IID_ITestEvents);
    ASSERT_TRUE(events);
    EXPECT_EQ(events.Get(), static_cast<ITestEvents*>(&a));
    EXPECT_EQ(a.refs, 3u);
  }
  EXPECT_EQ(a.refs, 2u);
  a.answersEvents = false;
  EXPECT_FALSE(unknown.Query<ITestEvents>(comtest::IID_ITestEvents));
  EXPECT_EQ(a.refs, 2u);
  EXPECT_FALSE(ComPtr<IUnknown>().Query<ITestEvents>(comtest::IID_ITestEvents));
}

TEST(ComPtr, ComparesByTheObjectHeld) {
  TestSink a;
  TestSink b;
  ComPtr<ITestEvents> p(&a);
  ComPtr<ITestEvents> samePlace(&a);
  ComPtr<ITestEvents> other(&b);
  ComPtr<ITestEvents> empty;
  EXPECT_TRUE(p == samePlace);
  EXPECT_FALSE(p == other);
  EXPECT_TRUE(empty == nullptr);
  EXPECT_FALSE(p == nullptr);
  EXPECT_TRUE(empty == ComPtr<ITestEvents>(nullptr));
}

// An object that frees itself when its last reference goes.
class SelfFreeing final : public ITestEvents {
 public:
  explicit SelfFreeing(bool& freed) : freed_(freed) {}
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT OnPing(int) override { return S_OK; }

 private:
  ~SelfFreeing() { freed_ = true; }
  bool& freed_;
  ULONG refs_ = 1;
};

TEST(ComPtr, TheLastReferenceFreesAnAdoptedObject) {
  bool freed = false;
  {
    auto p = ComPtr<ITestEvents>::Adopt(new SelfFreeing(freed));
    ComPtr<ITestEvents> copy = p;
    p.Reset();
    EXPECT_FALSE(freed);
  }
  EXPECT_TRUE(freed);
}

}  // namespace
