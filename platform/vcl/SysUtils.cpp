// The program's parameters, the pseudo-random numbers and Unix times of
// SysUtils.h.

#include "platform/vcl/SysUtils.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <mutex>

// --- the program's parameters ---

namespace {

std::mutex gParamsMutex;
bool gParamsSet = false;
std::vector<std::string> gParams;

// The process's own command line (Linux: /proc/self/cmdline, NUL-separated).
std::vector<std::string> ProcessParams() {
  std::vector<std::string> result;
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find('\0', start);
    if (end == std::string::npos) end = all.size();
    result.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return result;
}

const std::vector<std::string>& Params() {
  if (!gParamsSet) {
    gParams = ProcessParams();
    gParamsSet = true;
  }
  return gParams;
}

}  // namespace

int ParamCount() {
  std::lock_guard<std::mutex> lock(gParamsMutex);
  const auto& p = Params();
  return p.empty() ? 0 : static_cast<int>(p.size()) - 1;
}

std::string ParamStr(int index) {
  std::lock_guard<std::mutex> lock(gParamsMutex);
  const auto& p = Params();
  if (index < 0 || static_cast<std::size_t>(index) >= p.size()) return {};
  return p[static_cast<std::size_t>(index)];
}

void SetCommandLine(const std::vector<std::string>& args) {
  std::lock_guard<std::mutex> lock(gParamsMutex);
  gParams = args;
  gParamsSet = true;
}

// --- pseudo-random numbers ---

namespace {

std::atomic<std::uint32_t> randSeed{0};

// Steps the generator and answers the new seed.
std::uint32_t NextSeed() {
  std::uint32_t seed = randSeed.load();
  std::uint32_t next = 0;
  do {
    next = seed * 134775813u + 1u;
  } while (!randSeed.compare_exchange_weak(seed, next));
  return next;
}

}  // namespace

int Random(int range) {
  const std::uint32_t seed = NextSeed();
  if (range < 1) return 0;
  return static_cast<int>((std::uint64_t{seed} * static_cast<std::uint64_t>(range)) >> 32);
}

double Random() { return static_cast<double>(NextSeed()) / 4294967296.0; }

void Randomize() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  randSeed.store(static_cast<std::uint32_t>(ticks ^ (ticks >> 32)));
}

std::uint32_t RandSeed() { return randSeed.load(); }

void SetRandSeed(std::uint32_t seed) { randSeed.store(seed); }

// --- Unix times ---

namespace {

constexpr double kUnixDateDelta = 25569;  // 1970-01-01 as a TDateTime
constexpr double kSecondsPerDay = 86400;
constexpr double kFirstDay = -693593;  // 0001-01-01
constexpr double kEndDay = 2958466;    // the day after 9999-12-31

}  // namespace

std::int64_t DateTimeToUnix(TDateTime value) {
  if (!std::isfinite(value) || value < kFirstDay || value >= kEndDay)
    throw EConvertError("Invalid argument to date encode");
  // Before 1899-12-30 the fraction counts forwards from the day's midnight
  // (-1.25 is 1899-12-29 06:00, that is -0.75 days on a straight line).
  double linear = value;
  if (value < 0) {
    const double day = std::trunc(value);
    linear = day - (value - day);
  }
  // Rounded as the class library's Round: halves to the even neighbour.
  return static_cast<std::int64_t>(std::nearbyint((linear - kUnixDateDelta) * kSecondsPerDay));
}

TDateTime UnixToDateTime(std::int64_t seconds) {
  const double linear = static_cast<double>(seconds) / kSecondsPerDay + kUnixDateDelta;
  if (linear >= 0) return linear;
  const double day = std::floor(linear);
  return day - (linear - day);
}
