#pragma once
// The host's communication loop: a thread of its own that calls every
// registered callback in turn, round after round, as the real host does.
//
// Each round passes the flags of the connection: bit 22 (0x00400000) is set
// while the PLC is online. A registration is identified by a key (the
// plug-in's callback address); Remove returns only when no call of that
// callback runs any more, so the caller may unload the code behind it.
// Callbacks may register and remove from inside a round (the change applies
// from the next round).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "host/sim/SimulatedPlc.h"

inline constexpr std::uint32_t kCommFlagOnline = 0x00400000;

class CommLoop {
 public:
  using Callback = std::function<void(std::uint32_t flags)>;

  struct Registration {
    const void* key = nullptr;
    std::int32_t value = 0;
    std::string name;
  };

  explicit CommLoop(SimulatedPlc& plc) : plc_(plc) {}
  ~CommLoop();
  CommLoop(const CommLoop&) = delete;
  CommLoop& operator=(const CommLoop&) = delete;

  // False when the key is registered already or null.
  bool Register(const void* key, Callback callback, std::int32_t value, const std::string& name);
  // False when the key is not registered.
  bool Remove(const void* key);
  std::vector<Registration> Registrations() const;

  // Starts the thread (one round every `period`); a second start does nothing.
  void Start(std::chrono::milliseconds period);
  // Stops the thread after its current round.
  void Stop();
  bool Running() const;

  // One round on the calling thread.
  void RunOnce();
  // The number of rounds completed so far.
  std::uint64_t Rounds() const;
  // Waits until the count of completed rounds reaches `rounds` or the thread
  // stops; the limit only guards against a hung loop.
  bool WaitForRounds(std::uint64_t rounds, std::chrono::milliseconds limit);

  std::uint32_t Flags() const { return plc_.Online() ? kCommFlagOnline : 0; }

 private:
  struct Entry {
    Registration registration;
    Callback callback;
  };
  void Round();
  void Run(std::chrono::milliseconds period);

  SimulatedPlc& plc_;
  mutable std::mutex listMutex_;  // the registrations
  std::mutex roundMutex_;         // held while a round calls out
  std::vector<Entry> entries_;
  std::thread::id roundThread_;
  std::thread thread_;
  mutable std::mutex stateMutex_;
  std::condition_variable state_;
  bool stop_ = false;
  bool running_ = false;
  std::uint64_t rounds_ = 0;
};
