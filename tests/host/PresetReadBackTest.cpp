// The demo's preset values as the live view sees them: read through the
// simulated PLC's memory service and through the host's synchronised read,
// decoded from the bytes as the live view decodes them.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/IecTypes.h"
#include "host/sim/HalvexHost.h"
#include "tests/host/HostTestProject.h"
#include "tests/host/PlcRequests.h"

namespace {

constexpr std::uint8_t kAreaX = 0;
constexpr std::uint8_t kAreaR = 3;
constexpr std::uint32_t kReplyCapacity = 240;

template <class T>
T ValueAt(const std::uint8_t* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// The demo's station variables and what each holds when the project opens,
// as text: integers and BOOLs as numbers, reals with two decimals, strings.
struct Expected {
  const char* name;
  std::string text;
};

const Expected kStation[] = {
    {"P1Running", "1"},
    {"P2Running", "0"},
    {"ValveOpen", "1"},
    {"HighLevel", "0"},
    {"TankLevel", "182"},
    {"LevelPercent", "46"},
    {"Flow", "38.60"},
    {"OutletPressure", "2.35"},
    {"StatusColor", "3975720"},  // 0x3CAA28
    {"P1Hours", "12875"},
    {"StartLevel", "250"},
    {"StopLevel", "60"},
    {"AlternateTime", "14400000"},  // 4 h in milliseconds
    {"Mode", "2"},                  // the drop-down's "Automatic"
    {"ParamFile", "PARAMS/STATION.CSV"},
    {"TrendPicture", "images/logo.bmp"},
    {"EventPage", "EVENTS.HTM"},
    {"P2Enabled", "1"},
    {"Canvas1.info.maxLen", "512"},
    {"Canvas1.bufHead.dataLen", "120"},
    {"Canvas1.buf[0]", "197"},  // the drawing's mark 0xC5, from the buffer's bytes
    {"Canvas1.buf[119]", "60"},
};

// The value the live view shows for the bytes of `variable`.
std::string Decode(const ResolvedVariable& variable, const std::uint8_t* bytes) {
  const PlcTypeShape& shape = *variable.shape;
  if (shape.kind == PlcTypeShape::Kind::String) return reinterpret_cast<const char*>(bytes);
  if (shape.isBit) return std::to_string(bytes[0] & 1);
  if (shape.code == IecReal) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", ValueAt<float>(bytes));
    return text;
  }
  switch (shape.size) {
    case 1: return std::to_string(bytes[0]);
    case 2: return std::to_string(ValueAt<std::uint16_t>(bytes));
    default: return std::to_string(ValueAt<std::int32_t>(bytes));
  }
}

class PresetReadBack : public ::testing::Test {
 protected:
  void SetUp() override { host.OpenProject(DemoProjectFolder()); }

  ResolvedVariable Resolve(const char* name) {
    auto variable = host.Variables().Resolve(name);
    EXPECT_TRUE(variable.has_value()) << name;
    return variable.value_or(ResolvedVariable{});
  }

  HalvexHost host;
};

TEST_F(PresetReadBack, TheMemoryServiceReadsEveryPresetValue) {
  for (const Expected& e : kStation) {
    const ResolvedVariable variable = Resolve(e.name);
    ASSERT_TRUE(variable.shape) << e.name;
    Bytes request;
    PutHeader(request, PlcAreaCode(variable.area), variable.address, static_cast<std::uint8_t>(variable.Size()));
    Bytes reply(kReplyCapacity, 0);
    std::uint32_t length = kReplyCapacity;
    ASSERT_EQ(host.Plc().Send(0, kPlcServiceRead, static_cast<std::uint32_t>(request.size()), request.data(), &length,
                              reply.data()),
              S_OK);
    ASSERT_EQ(length, variable.Size()) << e.name;
    if (variable.bit >= 0) reply[0] = static_cast<std::uint8_t>(reply[0] >> variable.bit);
    EXPECT_EQ(Decode(variable, reply.data()), e.text) << e.name;
  }
}

TEST_F(PresetReadBack, TheFieldInputsShareOneByteBitByBit) {
  Bytes request;
  PutHeader(request, kAreaX, 8, 1);
  PutHeader(request, kAreaR, 1024, 2);
  Bytes reply(kReplyCapacity, 0);
  std::uint32_t length = kReplyCapacity;
  ASSERT_EQ(host.Plc().Send(0, kPlcServiceRead, static_cast<std::uint32_t>(request.size()), request.data(), &length,
                            reply.data()),
            S_OK);
  ASSERT_EQ(length, 3u);
  EXPECT_EQ(reply[0], 0x05) << "P1Running (bit 0) and ValveOpen (bit 2) set, P2Running and HighLevel clear";
  EXPECT_EQ(reply[1], 182);  // TankLevel, low byte first
  EXPECT_EQ(reply[2], 0);
}

TEST_F(PresetReadBack, TheSynchronisedReadHandsThePresetValuesToTheLiveView) {
  auto* read = static_cast<IHalvexSyncedPlcRead*>(nullptr);
  ASSERT_EQ(host.Object()->QueryInterface(IID_IHalvexSyncedPlcRead, reinterpret_cast<void**>(&read)), S_OK);
  constexpr std::size_t kCount = std::size(kStation);
  std::vector<const char*> names;
  for (const Expected& e : kStation) names.push_back(e.name);
  std::vector<SyncedReadRecord> set(kCount);
  std::vector<std::array<std::uint8_t, kReplyCapacity>> values(kCount);
  ASSERT_EQ(read->CreateObjects(kCount, names.data(), set.data()), S_OK);
  for (std::size_t i = 0; i < kCount; ++i) set[i].value = values[i].data();
  ASSERT_EQ(read->EnableObjects(-1, kCount, set.data()), S_OK);
  ASSERT_EQ(read->ReadObjects(kCount, set.data()), S_OK);
  for (std::size_t i = 0; i < kCount; ++i) {
    const ResolvedVariable variable = Resolve(kStation[i].name);
    ASSERT_TRUE(variable.shape) << kStation[i].name;
    std::uint8_t* bytes = values[i].data();
    if (variable.bit >= 0) bytes[0] = static_cast<std::uint8_t>(bytes[0] >> variable.bit);
    EXPECT_EQ(Decode(variable, bytes), kStation[i].text) << kStation[i].name;
  }
  ASSERT_EQ(read->ReleaseObjects(kCount, set.data()), S_OK);
  host.ProcessHostEvents();
  read->Release();
}

}  // namespace
