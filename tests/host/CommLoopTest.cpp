// The communication loop runs on a thread of its own and calls the
// registered callbacks there; removal waits for a running call.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/sim/CommLoop.h"

namespace {

using namespace std::chrono_literals;

TEST(CommLoopThread, CallsCallbacksOnItsOwnThreadWithTheOnlineFlag) {
  SimulatedPlc plc;
  CommLoop loop(plc);
  std::atomic<int> calls{0};
  std::atomic<std::uint32_t> lastFlags{0};
  std::thread::id callbackThread;
  std::atomic<bool> seen{false};
  int key = 0;
  ASSERT_TRUE(loop.Register(
      &key,
      [&](std::uint32_t flags) {
        if (!seen.exchange(true)) callbackThread = std::this_thread::get_id();
        lastFlags = flags;
        ++calls;
      },
      88, "Tarnwell"));
  EXPECT_FALSE(loop.Register(
      &key, [](std::uint32_t) {}, 1, "again"));
  ASSERT_EQ(loop.Registrations().size(), 1u);
  EXPECT_EQ(loop.Registrations()[0].value, 88);
  EXPECT_EQ(loop.Registrations()[0].name, "Tarnwell");

  loop.Start(1ms);
  ASSERT_TRUE(loop.WaitForRounds(3, 10s));
  EXPECT_GE(calls.load(), 3);
  EXPECT_NE(callbackThread, std::this_thread::get_id());
  EXPECT_EQ(lastFlags.load(), kCommFlagOnline);

  plc.SetOnline(false);
  std::uint64_t now = loop.Rounds();
  ASSERT_TRUE(loop.WaitForRounds(now + 2, 10s));
  EXPECT_EQ(lastFlags.load(), 0u);

  ASSERT_TRUE(loop.Remove(&key));
  int after = calls.load();
  now = loop.Rounds();
  ASSERT_TRUE(loop.WaitForRounds(now + 2, 10s));
  EXPECT_EQ(calls.load(), after) << "called after removal";
  EXPECT_FALSE(loop.Remove(&key));
  loop.Stop();
  EXPECT_FALSE(loop.Running());
}

TEST(CommLoopThread, RemoveWaitsForTheRunningCall) {
  SimulatedPlc plc;
  CommLoop loop(plc);
  std::atomic<bool> inside{false};
  std::atomic<bool> release{false};
  std::atomic<bool> finished{false};
  int key = 0;
  loop.Register(
      &key,
      [&](std::uint32_t) {
        inside = true;
        while (!release) std::this_thread::yield();
        finished = true;
      },
      88, "slow");
  loop.Start(1ms);
  while (!inside) std::this_thread::yield();
  std::thread remover([&] {
    loop.Remove(&key);
    EXPECT_TRUE(finished.load()) << "Remove returned while the callback ran";
  });
  std::this_thread::sleep_for(5ms);
  release = true;
  remover.join();
  loop.Stop();
}

TEST(CommLoopThread, CallbacksMayRemoveThemselvesAndTheCallbackSends) {
  SimulatedPlc plc;
  CommLoop loop(plc);
  int a = 0, b = 0;
  int aCalls = 0, bCalls = 0;
  loop.Register(
      &a,
      [&](std::uint32_t) {
        ++aCalls;
        loop.Remove(&a);
        loop.Remove(&b);  // removed before its turn in this round
      },
      1, "a");
  loop.Register(
      &b, [&](std::uint32_t) { ++bCalls; }, 2, "b");
  loop.RunOnce();
  loop.RunOnce();
  EXPECT_EQ(aCalls, 1);
  EXPECT_EQ(bCalls, 0);
  EXPECT_TRUE(loop.Registrations().empty());
  EXPECT_EQ(loop.Rounds(), 2u);
}

}  // namespace
