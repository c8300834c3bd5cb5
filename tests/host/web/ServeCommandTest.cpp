// halvex serve: the project's simulated PLC with its web server, run as the
// user runs it, stopped by SIGTERM and SIGINT; and its refusals.

#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "tests/host/ProgramRun.h"
#include "tests/host/web/ServeRun.h"
#include "tests/support/TempFolder.h"

namespace {

const char* kPage =
    "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n<PAGE TITLE=\"\">\r\n"
    "\t<ACCESS PAGE_LEVEL=\"0\" USER_LEVEL=\"0\" UCID=\"1\" />\r\n"
    "\t<INPUT NAME=\"__R0_UINT_u\" VALUE=\"0\" />\r\n</PAGE>\r\n";

class ServeCommand : public ::testing::TestWithParam<int> {};

TEST_P(ServeCommand, ServesTheProjectsTreeWithItsValuesAndStopsCleanly) {
  testsupport::TempFolder folder("serve-");
  folder.Write("halvex.prj", "project \"S\"\nvar Count UINT R 0\npreset Count 321\n");
  folder.Write("SendRoot/WWW/INDEX.XML", kPage);
  ServeRun run;
  StartServe(folder.Path().string(), run);
  ASSERT_GT(run.pid, 0);
  const std::string prefix = "serving " + folder.Native("SendRoot/WWW") + " at http://127.0.0.1:";
  ASSERT_EQ(run.firstLine.rfind(prefix, 0), 0u) << run.firstLine;
  const int port = std::stoi(run.firstLine.substr(prefix.size()));
  httplib::Client client("127.0.0.1", port);
  const auto answer = client.Get("/index.xml");
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->body.find("VALUE=\"321\""), std::string::npos) << answer->body;
  // A second server on the port is refused (the timeout only ends one wrongly started).
  const ProgramRun second = RunProgram("timeout 30 '" + std::string(TARNWELL_HALVEX_PATH) + "' serve '" +
                                       folder.Native("") + "' --port " + std::to_string(port));
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.out, "halvex serve: cannot listen on 127.0.0.1:" + std::to_string(port) +
                            ": the port is already in use (another server listens on it); choose another with "
                            "--port\n");
  const auto [status, rest] = StopServe(run, GetParam());
  EXPECT_EQ(status, 0);
  EXPECT_EQ(rest, "stopped\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, ServeCommand, ::testing::Values(SIGTERM, SIGINT));

TEST(ServeCommandMisuse, NamesEachFault) {
  testsupport::TempFolder folder("serve-");
  folder.Write("halvex.prj", "project \"S\"\n");
  folder.Write("built/halvex.prj", "project \"S\"\nvar X NOTATYPE R 0\n");
  folder.Write("built/SendRoot/WWW/INDEX.XML", kPage);
  // A host home of its own, where no plug-in is registered.
  const std::string halvex =
      "HALVEX_HOME='" + folder.Native("home") + "' '" + std::string(TARNWELL_HALVEX_PATH) + "' serve ";
  const struct {
    std::string arguments;
    int status;
    std::string message;
  } cases[] = {
      {"", 2, "halvex serve: missing PROJECT (a folder holding halvex.prj)\n"},
      {"'" + folder.Native("") + "' --port", 2, "halvex serve: --port needs a number (0 to 65535)\n"},
      {"'" + folder.Native("") + "' --port 70000", 2, "halvex serve: --port 70000 is not a port (0 to 65535)\n"},
      {"'" + folder.Native("") + "' --port x1", 2, "halvex serve: --port x1 is not a port (0 to 65535)\n"},
      {"'" + folder.Native("") + "' --fast", 2, "halvex serve: unknown option \"--fast\"\n"},
      {"'" + folder.Native("none") + "'", 1,
       "halvex serve: no project folder " + folder.Native("none") + " (it does not exist)\n"},
      {"'" + folder.Native("") + "'", 1,
       "halvex serve: no web tree in " + folder.Native("SendRoot/WWW") +
           " (build the project first)\nhalvex serve: no plug-in is registered (registry: " +
           folder.Native("home/registry") +
           "), so a build compiles no web page: register one first (halvex register LIB)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProgramRun run = RunProgram(halvex + c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.message);
  }
  const ProgramRun broken = RunProgram(halvex + "'" + folder.Native("built") + "'");
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.out.find("halvex serve: "), std::string::npos);
  EXPECT_NE(broken.out.find("NOTATYPE"), std::string::npos) << broken.out;
}

}  // namespace
