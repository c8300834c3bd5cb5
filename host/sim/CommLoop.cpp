#include "host/sim/CommLoop.h"

CommLoop::~CommLoop() { Stop(); }

bool CommLoop::Register(const void* key, Callback callback, std::int32_t value, const std::string& name) {
  if (key == nullptr || !callback) return false;
  std::lock_guard<std::mutex> lock(listMutex_);
  for (const Entry& e : entries_)
    if (e.registration.key == key) return false;
  entries_.push_back({{key, value, name}, std::move(callback)});
  return true;
}

bool CommLoop::Remove(const void* key) {
  {
    std::lock_guard<std::mutex> lock(listMutex_);
    bool found = false;
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
      if (it->registration.key == key) {
        entries_.erase(it);
        found = true;
        break;
      }
    if (!found) return false;
    // From inside a round the caller is the callback itself: nothing to wait for.
    if (roundThread_ == std::this_thread::get_id()) return true;
  }
  // Wait for a round that may still be calling the removed callback.
  std::lock_guard<std::mutex> wait(roundMutex_);
  return true;
}

std::vector<CommLoop::Registration> CommLoop::Registrations() const {
  std::lock_guard<std::mutex> lock(listMutex_);
  std::vector<Registration> out;
  for (const Entry& e : entries_) out.push_back(e.registration);
  return out;
}

void CommLoop::Round() {
  std::lock_guard<std::mutex> round(roundMutex_);
  std::vector<Entry> snapshot;
  {
    std::lock_guard<std::mutex> lock(listMutex_);
    snapshot = entries_;
    roundThread_ = std::this_thread::get_id();
  }
  std::uint32_t flags = Flags();
  for (Entry& e : snapshot) {
    {
      // Skip a callback removed by an earlier callback of this round.
      std::lock_guard<std::mutex> lock(listMutex_);
      bool present = false;
      for (const Entry& live : entries_) present = present || live.registration.key == e.registration.key;
      if (!present) continue;
    }
    e.callback(flags);
  }
  {
    std::lock_guard<std::mutex> lock(listMutex_);
    roundThread_ = std::thread::id();
  }
  std::lock_guard<std::mutex> state(stateMutex_);
  ++rounds_;
  state_.notify_all();
}

void CommLoop::RunOnce() { Round(); }

void CommLoop::Run(std::chrono::milliseconds period) {
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(stateMutex_);
      if (stop_) break;
    }
    Round();
    std::unique_lock<std::mutex> lock(stateMutex_);
    state_.wait_for(lock, period, [this] { return stop_; });
    if (stop_) break;
  }
  std::lock_guard<std::mutex> lock(stateMutex_);
  running_ = false;
  state_.notify_all();
}

void CommLoop::Start(std::chrono::milliseconds period) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  if (running_ || thread_.joinable()) return;
  stop_ = false;
  running_ = true;
  thread_ = std::thread([this, period] { Run(period); });
}

void CommLoop::Stop() {
  {
    std::lock_guard<std::mutex> lock(stateMutex_);
    stop_ = true;
    state_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

bool CommLoop::Running() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return running_;
}

std::uint64_t CommLoop::Rounds() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return rounds_;
}

bool CommLoop::WaitForRounds(std::uint64_t rounds, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(stateMutex_);
  return state_.wait_for(lock, limit, [&] { return rounds_ >= rounds || !running_; }) && rounds_ >= rounds;
}
