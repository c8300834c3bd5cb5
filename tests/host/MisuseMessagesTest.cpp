// Misuse of halvex and tarnwell-decode: every refused command line or file
// ends with a non-zero exit code and a message that names what is wrong (the
// missing argument, the value out of range, the unknown switch, the missing
// project folder, the library never registered, the file that is no picture).

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/host/HostTestProject.h"
#include "tests/host/ProgramRun.h"
#include "tests/support/FileTree.h"
#include "tests/support/ReadOnlyEntries.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_DECODE_PATH)

namespace {

namespace fs = std::filesystem;

struct Misuse {
  const char* arguments;  // "@" stands for the test's own folder
  int status;
  const char* message;  // a part of the output
};

class MisuseMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = testsupport::MakeTempFolder("misuse-");
    ASSERT_NE(folder, "");
    fs::create_directories(folder + "/empty");
    std::ofstream(folder + "/short.png") << "abc";
    std::ofstream(folder + "/notes.txt") << "not a picture, only words";
    fs::create_directories(folder + "/project");
    std::ofstream(folder + "/project/halvex.prj") << "project P\n";
  }
  void TearDown() override { fs::remove_all(folder); }

  std::string Expand(const std::string& arguments) const {
    std::string text;
    for (char c : arguments) text += c == '@' ? folder : std::string(1, c);
    return text;
  }
  void Check(const std::string& program, const Misuse& m) const {
    SCOPED_TRACE(m.arguments);
    const ProgramRun run = RunProgram("HALVEX_HOME='" + folder + "/home' '" + program + "' " + Expand(m.arguments));
    EXPECT_EQ(run.status, m.status) << run.out;
    EXPECT_NE(run.out.find(Expand(m.message)), std::string::npos) << "expected: " << m.message << "\n" << run.out;
  }

  std::string folder;
};

TEST_F(MisuseMessages, HalvexNamesWhatIsWrong) {
  const Misuse cases[] = {
      {"", 2, "halvex: missing COMMAND"},
      {"frobnicate", 2, "halvex: unknown command \"frobnicate\""},
      {"register", 2, "halvex register: missing LIB"},
      {"unregister", 2, "halvex unregister: missing LIB"},
      {"register a.so b.so", 2, "halvex register: takes one LIB, not more"},
      {"register ''", 2, "halvex register: LIB is an empty word (\"\"): give the plug-in library's file"},
      {"unregister ''", 2, "halvex unregister: LIB is an empty word (\"\")"},
      {"plugins extra", 2, "halvex plugins: takes no arguments (\"extra\" given)"},
      {"open", 2, "halvex open: missing PROJECT"},
      {"build", 2, "halvex build: missing PROJECT"},
      {"build --offline", 2, "halvex build: missing PROJECT"},
      {"open @/empty --rounds", 2, "halvex open: --rounds needs a number of rounds after it"},
      {"open @/empty --rounds abc", 2, "halvex open: --rounds takes a number from 0 to 1000, not \"abc\""},
      {"open @/empty --rounds 1001", 2, "--rounds takes a number from 0 to 1000, not \"1001\""},
      {"build @/empty --rounds -1", 2, "halvex build: --rounds takes a number from 0 to 1000, not \"-1\""},
      {"open @/empty --rounds 3x", 2, "--rounds takes a number from 0 to 1000, not \"3x\""},
      {"open @/empty --command", 2, "halvex open: --command needs a command name after it"},
      {"open @/project --command ''", 2, "halvex open: --command needs a command name after it, not an empty word"},
      {"build ''", 2, "halvex build: PROJECT is an empty word (\"\"): give the folder holding halvex.prj"},
      {"open @/empty --without", 2, "halvex open: --without needs an interface name after it"},
      {"open @/empty /FOO", 2, "halvex open: unknown host switch \"/FOO\""},
      // A missing folder at the root is the project when no other is given,
      // and a switch the host does not know beside one.
      {"open /tarnwell-no-such-folder", 1,
       "halvex open: no project folder /tarnwell-no-such-folder (it does not exist), nor is /tarnwell-no-such-folder "
       "a host switch (/USELOGFILE, /LINVAR, /WEBCOMPTIME, /WEBOLDCOMM, /OEMDIR=folder)"},
      {"build /tarnwell-no-such-folder --offline", 1, "halvex build: no project folder /tarnwell-no-such-folder"},
      {"build /TARNWELL @/empty /BOGUS", 2, "halvex build: unknown host switch \"/TARNWELL\" (the host's switches:"},
      {"build @/empty /OEMDIR=", 2,
       "halvex build: the host switch /OEMDIR needs a folder: /OEMDIR=FOLDER, not \"/OEMDIR=\""},
      {"open @/empty --bogus", 2, "halvex open: unknown option \"--bogus\""},
      {"open @/empty --answer x", 2, "halvex open: --answer takes WHAT=REPLY"},
      {"build @/empty --answer yes", 2, "halvex build: --answer takes WHAT=REPLY"},
      {"build @/empty --answer x=maybe", 2, "the reply is yes, no, ok or cancel, not \"maybe\""},
      {"open @/empty --without IQendNothing", 2, "halvex open: the host has no interface \"IQendNothing\""},
      {"open @/missing", 1, "halvex open: no project folder @/missing (it does not exist)"},
      {"build @/notes.txt", 1, "halvex build: no project folder @/notes.txt (it is a file"},
      // The switches the host knows pass, in any case; the folder without a
      // project file is the fault then.
      {"open @/empty /uselogfile /OEMDIR=@ /LinVar", 1, "cannot read the project file"},
      {"register @/missing.so", 1, "halvex: no such library: @/missing.so"},
      {"unregister @/missing.so", 1, "halvex unregister: @/missing.so was never registered"},
      {"open @/empty --snapshot @/x.jpg", 2,
       "halvex open: --snapshot writes a PNG picture: its file name ends in .png, not \"@/x.jpg\""},
      {"open @/empty /oemdir", 2,
       "halvex open: the host switch /OEMDIR needs a folder: /OEMDIR=FOLDER, not \"/oemdir\""},
      {"open @/empty @/empty", 2, "halvex open: takes one PROJECT, not more (\"@/empty\" after \"@/empty\")"},
      {"build @/empty other --offline", 2, "halvex build: takes one PROJECT, not more (\"other\" after \"@/empty\")"},
      // The project may come after the options: the fault named is the real one.
      {"open --command Tarnwell @/project", 1, "halvex open: no plug-in registered a command \"Tarnwell\""},
      {"build --rounds 0 /LINVAR @/empty", 1, "cannot read the project file"},
      {"open @/empty --live --offline", 2, "halvex open: --live and --offline contradict each other"},
      {"build --command a @/empty --command b", 2, "halvex build: --command is given twice (\"a\", then \"b\")"},
      {"open @/empty --rounds 1 --rounds 2", 2, "halvex open: --rounds is given twice (\"1\", then \"2\")"},
      {"build @/empty --answer 'sure=yes' --answer 'sure=no'", 2,
       "halvex build: --answer \"sure=no\" is a second answer to \"sure\""},
      {"serve @/project --port 1 --port 2", 2, "halvex serve: --port is given twice"},
      {"serve @/project --port ''", 2,
       "halvex serve: --port needs a number (0 to 65535) after it, not an empty word (\"\")"},
      {"serve @/project @/empty", 2, "halvex serve: takes one PROJECT, not more (\"@/empty\" after \"@/project\")"},
      {"open --help", 0, "usage: halvex open PROJECT [SWITCHES]"},
      {"build @/empty --help", 0, "usage: halvex build PROJECT [the options of open]"},
      {"serve -h", 0, "usage: halvex serve PROJECT [--port N]\n"},
      {"register --help", 0, "usage: halvex register LIB      runs the library's DllRegisterServer"},
      {"build @/project", 1, "build failed: no plug-in is registered (registry: @/home/registry)"},
      {"serve @/project", 1, "halvex serve: no plug-in is registered (registry: @/home/registry), so a build"},
  };
  for (const Misuse& m : cases) Check(TARNWELL_HALVEX_PATH, m);
}

// serve only reads the host home: a run that found nothing to serve leaves
// none behind.
TEST_F(MisuseMessages, ServeMakesNoHostHome) {
  Check(TARNWELL_HALVEX_PATH, {"serve @/project", 1, "halvex serve: no web tree in @/project/SendRoot/WWW"});
  EXPECT_FALSE(fs::exists(folder + "/home"));
}

// The loop's rounds asked for all come, however slowly they run.
TEST_F(MisuseMessages, EveryRoundAskedForComes) {
  const ProgramRun run = RunProgram("HALVEX_HOME='" + folder + "/home' '" + TARNWELL_HALVEX_PATH + "' open '" + folder +
                                    "/project' --rounds 1000");
  ASSERT_EQ(run.status, 0) << run.out;
  const std::size_t at = run.out.find("communication loop: no callbacks; ");
  ASSERT_NE(at, std::string::npos) << run.out;
  EXPECT_GE(std::stoi(run.out.substr(at + 34)), 1000) << run.out;
}

#if defined(TARNWELL_PLUGIN_PATH)
TEST_F(MisuseMessages, UnregisterOfALibraryNeverRegisteredSaysSo) {
  const std::string library = TARNWELL_PLUGIN_PATH;
  // A registry that cannot be written is named, with the reason.
  fs::create_directories(folder + "/home/registry");
  Check(TARNWELL_HALVEX_PATH, {("register '" + library + "'").c_str(), 1,
                               "halvex register: the registry @/home/registry cannot be written: @/home/registry is a "
                               "folder, not a file"});
  fs::remove(folder + "/home/registry");
  Check(TARNWELL_HALVEX_PATH, {("unregister '" + library + "'").c_str(), 1, "was never registered: no plug-in"});
  // Once registered, the same command unregisters it.
  Check(TARNWELL_HALVEX_PATH, {("register '" + library + "'").c_str(), 0, "DllRegisterServer: S_OK"});
  // An immutable registry (or its folder) changes for neither command, and
  // each says why (root alone marks it); a registration it holds already
  // needs no change and succeeds.
  for (const auto& [entry, why] : {std::pair{"/home/registry", "the file cannot be rewritten"},
                                   {"/home", "its folder @/home takes no new file"}}) {
    const auto run = [&, why = std::string(why)](const std::string& verb, bool immutable, int status) {
      testsupport::SetImmutable(folder + entry, immutable);
      const std::string refused = "halvex " + verb + ": the registry @/home/registry cannot be written: " + why +
                                  " (Operation not permitted; it is immutable)";
      Check(TARNWELL_HALVEX_PATH,
            {(verb + " '" + library + "'").c_str(), status, status == 0 ? ": S_OK" : refused.c_str()});
      testsupport::SetImmutable(folder + entry, false);
    };
    if (!testsupport::SetImmutable(folder + entry, true)) continue;
    run("unregister", true, 1);
    run("register", true, 0);
    run("unregister", false, 0);
    run("register", true, 1);
    run("register", false, 0);
  }
  Check(TARNWELL_HALVEX_PATH, {("unregister '" + library + "'").c_str(), 0, "DllUnregisterServer: S_OK"});
  // A desktop that cannot take what the plug-ins saved into it at the close
  // fails the run; one that holds that already fails none.
  Check(TARNWELL_HALVEX_PATH, {"open @/project", 0, "desktop saved: 0 entries"});
  if (testsupport::SetImmutable(folder + "/home/desktop-P.txt", true)) {
    Check(TARNWELL_HALVEX_PATH, {"open @/project", 0, "desktop saved: 0 entries"});
    Check(TARNWELL_HALVEX_PATH, {("register '" + library + "'").c_str(), 0, "DllRegisterServer: S_OK"});
    Check(TARNWELL_HALVEX_PATH,
          {"open @/project", 1,
           "halvex open: the desktop @/home/desktop-P.txt cannot be written (Operation not permitted)"});
    Check(TARNWELL_HALVEX_PATH, {("unregister '" + library + "'").c_str(), 0, "DllUnregisterServer: S_OK"});
    testsupport::SetImmutable(folder + "/home/desktop-P.txt", false);
  }
  // One that cannot be read is left as it is, and the run says so.
  const std::string unreadable = "Kept=a\\q\nOther=b\n";
  std::ofstream(folder + "/home/desktop-P.txt") << unreadable;
  Check(TARNWELL_HALVEX_PATH, {"open @/project", 1,
                               "halvex open: the desktop @/home/desktop-P.txt could not be read (a line is no "
                               "\"name=value\" entry: \"Kept=a\\q\"), so it is left as it is: what the plug-ins"});
  EXPECT_EQ(testsupport::ReadFileText(folder + "/home/desktop-P.txt"), unreadable);
  fs::remove(folder + "/home/desktop-P.txt");
  // A full disk is told as one, not as a question of rights; root alone
  // mounts a small disk for it.
  if (mount("tmpfs", (folder + "/home").c_str(), "tmpfs", 0, "size=64k") == 0) {
    Check(TARNWELL_HALVEX_PATH, {("register '" + library + "'").c_str(), 0, "DllRegisterServer: S_OK"});
    std::ofstream(folder + "/home/fill") << std::string(1 << 20, 'x');
    Check(TARNWELL_HALVEX_PATH, {("unregister '" + library + "'").c_str(), 1,
                                 "the file cannot be rewritten (No space left on device): make room on its disk\n"});
    umount((folder + "/home").c_str());
  }
}

// A registry this user cannot read (root acts as another user for it) or a
// folder in its place: every command that reads it says so and why, fails,
// and leaves the file byte for byte, a user's own keys in it too.
TEST_F(MisuseMessages, ARegistryThatCannotBeReadIsToldAndKept) {
  const std::string library = TARNWELL_PLUGIN_PATH;
  Check(TARNWELL_HALVEX_PATH, {("register '" + library + "'").c_str(), 0, "DllRegisterServer: S_OK"});
  std::ofstream(folder + "/home/registry", std::ios::app)
      << "[HKEY_CURRENT_USER\\Software\\Vorn\\Halvex\\Tarnwell]\n\"Colors\"=\"ColorA=FFFFFF\"\n";
  const std::string registry = folder + "/home/registry";
  const auto read = [&registry] {  // also where this user is not root
    fs::permissions(registry, fs::perms::owner_read, fs::perm_options::add);
    std::ostringstream bytes;
    bytes << std::ifstream(registry, std::ios::binary).rdbuf();
    fs::permissions(registry, fs::perms::owner_write);
    return bytes.str();
  };
  const std::string kept = read();
  // The folders stay open to the other user, so that only the guard of the
  // store keeps a change from replacing the file.
  for (const std::string& open : {folder, folder + "/home", folder + "/project"}) fs::permissions(open, fs::perms::all);
  testsupport::LetOtherUsersReach(folder);
  const std::string as = geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const std::string unread = "the registry @/home/registry cannot be read (Permission denied)";
  const Misuse cases[] = {
      {"plugins", 1, "halvex plugins: "},
      {"register '" TARNWELL_PLUGIN_PATH "'", 1, "halvex register: "},
      {"unregister '" TARNWELL_PLUGIN_PATH "'", 1, "halvex unregister: "},
      {"build @/project", 1, "halvex build: "},
      {"open @/project", 1, "halvex open: "},
      {"serve @/project", 1, "halvex serve: "},
  };
  for (const Misuse& m : cases) {
    SCOPED_TRACE(m.arguments);
    const ProgramRun run =
        RunProgram("HALVEX_HOME='" + folder + "/home' " + as + "'" + TARNWELL_HALVEX_PATH + "' " + Expand(m.arguments));
    EXPECT_EQ(run.status, m.status) << run.out;
    EXPECT_NE(run.out.find(Expand(m.message + unread)), std::string::npos) << run.out;
    EXPECT_EQ(read(), kept);
  }
  fs::rename(registry, folder + "/registry");
  fs::create_directory(registry);
  Check(TARNWELL_HALVEX_PATH,
        {"plugins", 1, "the registry @/home/registry cannot be read (it is a folder, not a file)"});
  // A pipe, which no program writes, holds no reader up.
  fs::remove(registry);
  ASSERT_EQ(mkfifo(registry.c_str(), 0600), 0);
  const ProgramRun piped = RunProgram("HALVEX_HOME='" + folder + "/home' timeout 60 '" + TARNWELL_HALVEX_PATH +
                                      "' unregister '" + library + "'");
  EXPECT_EQ(piped.status, 1) << piped.out;
  EXPECT_NE(piped.out.find("the registry " + registry + " cannot be read (it is not a file)"), std::string::npos)
      << piped.out;
}
#endif

// The demo script's own options; each row with a BUILD folder, which the
// demo does not build into.
TEST_F(MisuseMessages, DemoScriptNamesWhatIsWrong) {
  const Misuse cases[] = {
      {"--help", 0, "BUILD: a build folder that already holds halvex"},
      {"--bogus", 2, "demo.sh: unknown option \"--bogus\""},
      {"-j 2 -j 3 @/empty", 2, "demo.sh: -j is given twice (\"2\", then \"3\")"},
      {"@/empty -j2", 2, "demo.sh: -j limits the build, but with a BUILD folder the demo builds nothing"},
  };
  for (const Misuse& m : cases) Check(std::string(TARNWELL_SOURCE_DIR) + "/scripts/demo.sh", m);
}

// The script that keeps cores busy refuses at once, with a reason, what it
// cannot run; it starts nothing then.
TEST_F(MisuseMessages, NeighboursScriptNamesWhatIsWrong) {
  const Misuse cases[] = {
      {"", 2, "neighbours.sh: takes three arguments, not 0 (usage: "},
      {"bogus 0 @", 2, "neighbours.sh: unknown kind \"bogus\""},
      {"compilers 0-1x @", 2, "neighbours.sh: CPUS is a list for taskset such as 2-7, not \"0-1x\""},
      {"compilers 0 @/missing", 2, "neighbours.sh: no build folder @/missing"},
      {"compilers 0 @/empty", 2, "neighbours.sh: the build folder @/empty holds no compile_commands.json"},
      {"processes 0 @/empty", 2, "neighbours.sh: the build folder @/empty holds no host/cli/halvex"},
      {"compilers 3-1 @/cc", 2, "neighbours.sh: CPUS \"3-1\" holds a range from high to low"},
      {"compilers 0,4096 @/cc", 2, "neighbours.sh: CPUS \"0,4096\" names core 4096, which this process may not run"},
  };
  fs::create_directories(folder + "/cc");
  std::ofstream(folder + "/cc/compile_commands.json") << "[]\n";
  for (const Misuse& m : cases) Check(std::string(TARNWELL_SOURCE_DIR) + "/scripts/neighbours.sh", m);
}

TEST_F(MisuseMessages, TarnwellDecodeSaysWhyItRefusesAFile) {
  const Misuse cases[] = {
      {"", 3, "tarnwell-decode: missing INPUT and OUTPUT.png"},
      {"@/notes.txt", 3, "tarnwell-decode: missing OUTPUT.png"},
      {"@/notes.txt @/a.png @/b.png", 3, "tarnwell-decode: too many arguments"},
      {"@/missing.png @/out.png", 3, "tarnwell-decode: cannot read '@/missing.png': no such file"},
      {"@/empty @/out.png", 3, "tarnwell-decode: cannot read '@/empty': not a file"},
      {"@/short.png @/out.png", 2,
       "tarnwell-decode: '@/short.png' is too short to be a picture (3 bytes; the format is told by the first 10)"},
      {"@/notes.txt @/out.png", 2, "tarnwell-decode: '@/notes.txt' is not a BMP, GIF, JPEG or PNG file"},
  };
  for (const Misuse& m : cases) Check(TARNWELL_DECODE_PATH, m);
  EXPECT_FALSE(fs::exists(folder + "/out.png"));
}

}  // namespace

#endif
