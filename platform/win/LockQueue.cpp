#include "platform/win/LockQueue.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/win/LockFiles.h"

namespace {

constexpr std::string_view kTicketMark = ".~tarnwell~queue-";

struct TTicket {
  std::uint64_t number = 0;
  int pid = 0;
  std::string name;
  bool operator<(const TTicket& other) const {
    return number != other.number ? number < other.number : pid < other.pid;
  }
};

// "NNNNNNNNNN-PID" after the mark.
bool ReadTicket(const std::string& name, TTicket& ticket) {
  if (!name.starts_with(kTicketMark)) return false;
  unsigned long long number = 0;
  int pid = 0;
  int used = 0;
  const std::string rest = name.substr(kTicketMark.size());
  if (std::sscanf(rest.c_str(), "%10llu-%d%n", &number, &pid, &used) != 2 ||
      static_cast<std::size_t>(used) != rest.size() || pid <= 0)
    return false;
  ticket = TTicket{number, pid, name};
  return true;
}

std::vector<TTicket> TicketsIn(const std::string& folder) {
  std::vector<TTicket> tickets;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return tickets;
  while (const dirent* entry = ::readdir(dir)) {
    TTicket ticket;
    if (ReadTicket(entry->d_name, ticket)) tickets.push_back(ticket);
  }
  ::closedir(dir);
  std::sort(tickets.begin(), tickets.end());
  return tickets;
}

// Whether the run of the ticket at `path` still waits: it holds the ticket
// locked. One whose run ended is deleted when `mayDelete`. Anything that is
// no file there counts for nothing.
bool TicketLives(const std::string& path, bool mayDelete) {
  const int fd = OpenLockFile(path);
  if (fd < 0) {
    struct stat st;
    if (errno != EACCES || ::lstat(path.c_str(), &st) != 0) return false;
    // Another user's ticket that this one may not open: the system's list
    // tells whether its run holds it.
    const TFlockHolder holder = FlockHolderOf(st);
    if (!holder.known || holder.held) return true;
    if (mayDelete) ::unlink(path.c_str());
    return false;
  }
  const bool lives = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  if (!lives && mayDelete) DeleteIfFileAt(fd, path);
  ::close(fd);
  return lives;
}

}  // namespace

TLockQueue::TLockQueue(std::string folder) : folder_(std::move(folder)) {}

TLockQueue::~TLockQueue() { Leave(); }

bool TLockQueue::OthersFirst(bool mayDelete, int& pid) {
  bool first = false;
  highest_ = 0;
  for (const TTicket& ticket : TicketsIn(folder_)) {
    highest_ = std::max(highest_, ticket.number);
    const std::string path = folder_ + "/" + ticket.name;
    if (path == ticket_) continue;
    const bool older = !Joined() || ticket < TTicket{number_, ::getpid(), std::string()};
    // Every ticket is looked at, so that those of ended runs go.
    if (TicketLives(path, mayDelete) && older && !first) {
      first = true;
      pid = ticket.pid;
    }
  }
  return first;
}

void TLockQueue::Join() {
  if (Joined()) return;
  for (int tries = 0; tries < 100; ++tries) {
    number_ = highest_ + 1 + static_cast<std::uint64_t>(tries);
    char name[64];
    std::snprintf(name, sizeof name, "%.*s%010" PRIu64 "-%d", static_cast<int>(kTicketMark.size()), kTicketMark.data(),
                  number_, static_cast<int>(::getpid()));
    const std::string path = folder_ + "/" + name;
    const int fd = MakeLockFile(path);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return;
    }
    // A run that looked at the line between the making and the locking took
    // the ticket for one of an ended run and deleted it: a new one is taken.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && IsFileAt(fd, path)) {
      fd_ = fd;
      ticket_ = path;
      return;
    }
    ::close(fd);
  }
}

void TLockQueue::Leave() {
  if (!Joined()) return;
  DeleteIfFileAt(fd_, ticket_);
  ::close(fd_);
  fd_ = -1;
  ticket_.clear();
}
