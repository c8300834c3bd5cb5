// The PLC's web server on 127.0.0.1, in this process, on a small project and
// web tree made by the test: static files, data pages with live values,
// posts and uploads, logins, and requests that must be refused.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "host/sim/HostProject.h"
#include "host/sim/web/PlcWebServer.h"
#include "tests/host/web/Sha1Hex.h"
#include "tests/support/TempFolder.h"

namespace {

const char* kProject =
    "project \"WebTest\"\n"
    "var Count UINT R 0 tdi 1\n"
    "var Flag BOOL X 0.1 tdi 2\n"
    "var Temp REAL R 4 tdi 3\n"
    "var Name STRING[10] R 8 tdi 4\n"
    "var Buf ARRAY[0..7] OF BYTE R 20 tdi 5\n"
    "var Hold TIME R 32 tdi 6\n"
    "preset Count 42\n"
    "preset Flag TRUE\n"
    "preset Temp 21.5\n"
    "preset Name Pump\n"
    "preset Buf[0] 0xC5\n"
    "preset Buf[1] 1\n";

const char* kIndex =
    "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n"
    "<?xml-stylesheet type=\"text/xsl\" href=\"INDEX.XSL\" ?>\r\n"
    "<PAGE TITLE=\"\">\r\n"
    "\t<ACCESS PAGE_LEVEL=\"0\" USER_LEVEL=\"0\" UCID=\"1\" />\r\n"
    "\t<INPUT NAME=\"__R0_UINT_u\" VALUE=\"0\" />\r\n"
    "\t<INPUT NAME=\"__X0.1_BOOL_i\" VALUE=\"0\" />\r\n"
    "\t<INPUT NAME=\"__T00000003.04_REAL_.1f\" VALUE=\"0\" />\r\n"
    "\t<INPUT NAME=\"__T00000004.04_STRING[10]_s\" VALUE=\"0\" />\r\n"
    "\t<INPUT NAME=\"__R32_TIME_s\" VALUE=\"0\" />\r\n"
    "\t<DATA NAME=\"__T00000005.04_BYTE_s\" VALUE=\"\" ML=\"4\" />\r\n"
    "\t<DATA NAME=\"__R21_ARRAY_u\" VALUE=\"0\" ML=\"3\" />\r\n"
    "\t<DATA NAME=\"__R65534_ARRAY_u\" VALUE=\"0\" ML=\"3\" />\r\n"
    "</PAGE>\r\n";

const char* kSecret =
    "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n"
    "<PAGE TITLE=\"\">\r\n"
    "\t<ACCESS PAGE_LEVEL=\"3\" USER_LEVEL=\"0\" UCID=\"1\" />\r\n"
    "\t<INPUT NAME=\"__R0_UINT_u\" VALUE=\"0\" />\r\n"
    "</PAGE>\r\n";

const char* kLogin =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<LOGIN>\n\t<USER VALUE=\"\" />\n\t<PASS VALUE=\"\" />\n"
    "\t<ACER VALUE=\"\" />\n</LOGIN>\n";

std::string Between(const std::string& text, const std::string& before, const std::string& after) {
  const std::size_t start = text.find(before);
  if (start == std::string::npos) return {};
  const std::size_t from = start + before.size();
  return text.substr(from, text.find(after, from) - from);
}

class PlcWeb : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.Write("halvex.prj", kProject);
    folder_.Write("SendRoot/WWW/INDEX.XML", kIndex);
    folder_.Write("SendRoot/WWW/SECRET.XML", kSecret);
    folder_.Write("SendRoot/WWW/LOGIN.XML", kLogin);
    folder_.Write("SendRoot/WWW/LOGOUT.XML", "<LOGOUT />");
    folder_.Write("SendRoot/WWW/Style.css", "body{}");
    folder_.Write("SendRoot/WWW/INDEX.XSL", "<xsl:stylesheet/>");
    folder_.Write("SendRoot/WWW/PAGE.JS", "var a;");
    folder_.Write("SendRoot/WWW/IMAGES/Pump.PNG", "\x89PNG");
    folder_.Write("SendRoot/OUTSIDE.TXT", "outside");
  }
  void Serve(const std::string& passwords = {}, bool control = true) {
    if (!passwords.empty()) folder_.Write("SendRoot/PSW.TXT", passwords);
    project_ = ReadHostProject(folder_.Path().string());
    variables_ = VariableTable(project_);
    for (const HostPresetDecl& p : project_.presets) {
      if (p.bit >= 0)
        plc_.Memory().WriteBit(p.area, p.address, p.bit, p.bytes[0] != 0);
      else
        plc_.Memory().Write(p.area, p.address, static_cast<std::uint32_t>(p.bytes.size()), p.bytes.data());
    }
    server_ = std::make_unique<PlcWebServer>(plc_, project_, variables_,
                                             PlcWebOptions{folder_.Native("SendRoot"), "", control, ""});
    port_ = server_->Start(0);
    client_ = std::make_unique<httplib::Client>("127.0.0.1", port_);
    client_->set_read_timeout(10, 0);
  }
  std::uint16_t Count() {
    std::uint16_t value = 0;
    plc_.Memory().Read(PlcArea::R, 0, 2, reinterpret_cast<std::uint8_t*>(&value));
    return value;
  }
  // The first line of the answer to raw bytes sent on a connection of its own.
  std::string Raw(const std::string& bytes, bool closeWriting = false) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{10, 0};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::string answer;
    if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(s, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
      if (closeWriting) ::shutdown(s, SHUT_WR);
      char buffer[4096];
      ssize_t n;
      while (answer.find("\r\n") == std::string::npos && (n = ::recv(s, buffer, sizeof buffer, 0)) > 0)
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(s);
    return answer.substr(0, answer.find("\r\n"));
  }
  std::string Login(const std::string& user, const std::string& password, int* status) {
    const auto page = client_->Get("/LOGIN.XML");
    const std::string challenge = Between(page->body, "<ACER VALUE=\"", "\"");
    const auto answer =
        client_->Post("/LOGIN.XML", "USER=" + user + "&PASS=" + Sha1Hex(challenge + password) + "&ACER=" + challenge,
                      "application/x-www-form-urlencoded");
    *status = answer->status;
    return Between(answer->get_header_value("Set-Cookie"), "TWSID=", ";");
  }

  testsupport::TempFolder folder_{"plcweb-"};
  HostProject project_;
  VariableTable variables_;
  SimulatedPlc plc_;
  std::unique_ptr<PlcWebServer> server_;
  std::unique_ptr<httplib::Client> client_;
  int port_ = 0;
};

TEST_F(PlcWeb, ServesTheTreeWithContentTypesAndWithoutRegardToCase) {
  Serve();
  const struct {
    const char* path;
    const char* type;
    const char* body;
  } cases[] = {{"/style.css", "text/css", "body{}"},
               {"/STYLE.CSS?U=123", "text/css", "body{}"},
               {"/index.xsl", "text/xsl", "<xsl:stylesheet/>"},
               {"/Page.js", "application/javascript", "var a;"},
               {"/images/pump.png", "image/png", "\x89PNG"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto answer = client_->Get(c.path);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->get_header_value("Content-Type"), c.type);
    EXPECT_EQ(answer->body, c.body);
  }
  const auto root = client_->Get("/");
  EXPECT_EQ(root->status, 302);
  EXPECT_EQ(root->get_header_value("Location"), "/INDEX.XML");
}

TEST_F(PlcWeb, NothingOutsideTheTreeIsServedWhateverThePath) {
  Serve("v,1,4\r\n0,0,0\r\n", false);
  for (const char* path : {"/PSW.TXT", "/../PSW.TXT", "/..%2fPSW.TXT", "/%2e%2e/PSW.TXT", "/IMAGES/../../PSW.TXT",
                           "/IMAGES%5c..%5c..%5cPSW.TXT", "/..\\OUTSIDE.TXT", "/../OUTSIDE.TXT", "//WWW/INDEX.XML",
                           "/IMAGES", "/IMAGES/", "/NOPE.XML", "/INDEX.XML%00.png", "/~control/log"}) {
    SCOPED_TRACE(path);
    const std::string line = Raw(std::string("GET ") + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_TRUE(line.rfind("HTTP/1.1 4", 0) == 0) << line;
  }
}

TEST_F(PlcWeb, ADataPageShowsTheValuesInMemoryAndTheLevel) {
  Serve();
  auto answer = client_->Get("/index.xml");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->get_header_value("Content-Type"), "text/xml; charset=windows-1250");
  EXPECT_EQ(answer->get_header_value("Cache-Control"), "no-store");
  const std::string& page = answer->body;
  EXPECT_NE(page.find("USER_LEVEL=\"9\""), std::string::npos) << page;
  EXPECT_NE(page.find("\"__R0_UINT_u\" VALUE=\"42\""), std::string::npos) << page;
  EXPECT_NE(page.find("\"__X0.1_BOOL_i\" VALUE=\"1\""), std::string::npos);
  EXPECT_NE(page.find("\"__T00000003.04_REAL_.1f\" VALUE=\"21.5\""), std::string::npos);
  EXPECT_NE(page.find("\"__T00000004.04_STRING[10]_s\" VALUE=\"Pump\""), std::string::npos);
  EXPECT_NE(page.find("\"__R32_TIME_s\" VALUE=\"0:00:00.000\""), std::string::npos);
  EXPECT_NE(page.find("VALUE=\"C5010000\" ML=\"4\""), std::string::npos);
  EXPECT_NE(page.find("\"__R21_ARRAY_u\" VALUE=\"010000\" ML=\"3\""), std::string::npos) << page;
  EXPECT_NE(page.find("\"__R65534_ARRAY_u\" VALUE=\"0000\" ML=\"3\""), std::string::npos);
  const std::uint16_t next = 4711;
  plc_.Memory().Write(PlcArea::R, 0, 2, reinterpret_cast<const std::uint8_t*>(&next));
  answer = client_->Get("/INDEX.XML");
  EXPECT_NE(answer->body.find("\"__R0_UINT_u\" VALUE=\"4711\""), std::string::npos);
}

TEST_F(PlcWeb, APostWritesEveryValueAndAnswersTheFilledPage) {
  Serve();
  const auto answer = client_->Post("/INDEX.XML",
                                    "__R0_UINT_u%3D17&__X0.1_BOOL_i=0&__T00000004.04_STRING[10]_s=Valve+2"
                                    "&__R32_TIME_s=0%3A01%3A30.000&Submit=OK&__R99_NOPE_u=1",
                                    "application/x-www-form-urlencoded");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
  EXPECT_NE(answer->body.find("\"__R0_UINT_u\" VALUE=\"17\""), std::string::npos) << answer->body;
  EXPECT_NE(answer->body.find("VALUE=\"Valve 2\""), std::string::npos);
  EXPECT_NE(answer->body.find("\"__R32_TIME_s\" VALUE=\"0:01:30.000\""), std::string::npos);
  bool flag = true;
  plc_.Memory().ReadBit(PlcArea::X, 0, 1, &flag);
  EXPECT_FALSE(flag);
  EXPECT_EQ(Count(), 17);
}

TEST_F(PlcWeb, ARefusedPostChangesNothing) {
  Serve();
  std::vector<std::uint8_t> before(64);
  plc_.Memory().Read(PlcArea::R, 0, 64, before.data());
  const struct {
    const char* path;
    const char* body;
    int status;
  } cases[] = {{"/INDEX.XML", "__R0_UINT_u=5&__X0.1_BOOL_i=maybe", 400},
               {"/INDEX.XML", "__R0_UINT_u=70000", 400},
               {"/INDEX.XML", "__R0_UINT_u=5&__R32_TIME_s=99%3A99%3A99.999", 400},
               {"/INDEX.XML", "__R0_UINT_u=5&__R36_TOD_s=86400000", 400},
               {"/INDEX.XML", "__R0_UINT_u=5&__R36_TOD_s=90000000", 400},
               {"/INDEX.XML", "__R0_UINT_u=5&__R36_TOD_s=-1", 400},
               {"/INDEX.XML", "__R0_UINT_u=5&__T00000004.04_STRING[10]_s=far+too+long+a+name", 400},
               {"/INDEX.XML", "__R0_UINT_u=5&x=%zz", 400},
               {"/INDEX.XML", "__R65535_UINT_u=5&__R0_UINT_u=5", 400},
               {"/STYLE.CSS", "__R0_UINT_u=5", 405},
               {"/NOPE.XML", "__R0_UINT_u=5", 404}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    const auto answer = client_->Post(c.path, c.body, "application/x-www-form-urlencoded");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, c.status);
  }
  std::vector<std::uint8_t> after(64);
  plc_.Memory().Read(PlcArea::R, 0, 64, after.data());
  EXPECT_EQ(after, before);
  bool flag = false;
  plc_.Memory().ReadBit(PlcArea::X, 0, 1, &flag);
  EXPECT_TRUE(flag);
}

TEST_F(PlcWeb, AnUploadLandsInWwwUploadAndNamesItselfInTheVariable) {
  Serve();
  const httplib::MultipartFormDataItems items = {
      {"__T00000004.04_STRING[10]_s", "speed=12\n", "C:\\Users\\me\\params.txt", "text/plain"},
      {"__R0_UINT_u", "9", "", ""}};
  const auto answer = client_->Post("/INDEX.XML", items);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
  const auto file = plc_.Files().Find("//WWW/UPLOAD/PARAMS.TXT");
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(std::string(file->data.begin(), file->data.end()), "speed=12\n");
  EXPECT_NE(answer->body.find("VALUE=\"PARAMS.TXT\""), std::string::npos) << answer->body;
  EXPECT_EQ(Count(), 9);
  // What the PLC's file system holds is served like the compiled tree.
  EXPECT_EQ(client_->Get("/upload/params.txt")->body, "speed=12\n");
}

TEST_F(PlcWeb, ADataPostToAPageWithAMapWritesOnlyTheMapsVariables) {
  folder_.Write("SendRoot/WWW/JSN/INDEX.JSN",
                "{\"UCID\":1,\"rw\":[\"Count\"],\"d\":[],\"w\":[{\"n\":\"Hold\",\"v\":\"__R32_TIME_s\"}]}");
  Serve();
  const httplib::Headers data = {{"x-daltrex", "data"}};
  const char* form = "application/x-www-form-urlencoded";
  EXPECT_EQ(client_->Post("/INDEX.XML", data, "__R0_UINT_u%3D7", form)->status, 200);
  EXPECT_EQ(client_->Post("/INDEX.XML", data, "__R32_TIME_s%3D0%3A00%3A01.000", form)->status, 200);
  EXPECT_EQ(client_->Post("/INDEX.XML", data, "__R0_UINT_u=8&__R40_UINT_u=1", form)->status, 403);
  EXPECT_EQ(Count(), 7);
  // The page's own form posts (no data header) are not bound to the map.
  EXPECT_EQ(client_->Post("/INDEX.XML", "__R40_UINT_u=1", form)->status, 200);
}

TEST_F(PlcWeb, BrokenMultipartIsRefused) {
  Serve();
  const std::string body = "--XYZ\r\nContent-Disposition: form-data; name=\"__R0_UINT_u\"\r\n\r\n5\r\n--XY";
  const auto answer = client_->Post("/INDEX.XML", body, "multipart/form-data; boundary=XYZ");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status / 100, 4);
  EXPECT_EQ(Count(), 42);
}

TEST_F(PlcWeb, MalformedRequestsGet4xxAndTheServerGoesOn) {
  Serve();
  const std::string hugeHeader = "GET /INDEX.XML HTTP/1.1\r\nHost: x\r\nX-Big: " + std::string(70000, 'a') + "\r\n\r\n";
  const std::string manyHeaders = [] {
    std::string text = "GET /INDEX.XML HTTP/1.1\r\nHost: x\r\n";
    for (int i = 0; i < 300; ++i) text += "X-H" + std::to_string(i) + ": v\r\n";
    return text + "\r\n";
  }();
  const std::string hugeUri = "GET /" + std::string(20000, 'A') + " HTTP/1.1\r\nHost: x\r\n\r\n";
  const std::string bigForm =
      "POST /INDEX.XML HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
      "Content-Length: 70000\r\n\r\n" +
      std::string(70000, 'a');
  const std::string tooLong = "POST /INDEX.XML HTTP/1.1\r\nHost: x\r\nContent-Length: 99999999999\r\n\r\n";
  for (const std::string& request :
       {std::string("HELLO\r\n\r\n"), std::string("GET\r\n\r\n"),
        std::string("BREW /INDEX.XML HTTP/1.1\r\nHost: x\r\n\r\n"),
        std::string("GET /INDEX.XML HTTP/9.9\r\nHost: x\r\n\r\n"),
        std::string("DELETE /INDEX.XML HTTP/1.1\r\nHost: x\r\n\r\n"), hugeHeader, hugeUri, bigForm, tooLong}) {
    SCOPED_TRACE(request.substr(0, 40) + " (" + std::to_string(request.size()) + " bytes)");
    const std::string line = Raw(request);
    EXPECT_TRUE(line.empty() || line.rfind("HTTP/1.1 4", 0) == 0) << line;
  }
  // A body cut short: the connection ends before the announced bytes.
  const std::string cut =
      "POST /INDEX.XML HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
      "Content-Length: 100\r\n\r\n__R0_UINT_u=1";
  EXPECT_EQ(Raw(cut, true).rfind("HTTP/1.1 2", 0), std::string::npos);
  EXPECT_EQ(Raw("PUT /INDEX.XML HTTP/1.1\r\nHost: x\r\nContent-Length: 1\r\n\r\n1").rfind("HTTP/1.1 405", 0), 0u);
  // Many small headers are no fault.
  EXPECT_EQ(Raw(manyHeaders).rfind("HTTP/1.1 200", 0), 0u);
  EXPECT_EQ(Count(), 42);
  const auto answer = client_->Get("/INDEX.XML");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
}

TEST_F(PlcWeb, ThousandsOfRequestsInARowAreAllAnswered) {
  Serve();
  int answered = 0;
  httplib::Headers data = {{"x-daltrex", "data"}};
  for (int i = 0; i < 2000; ++i) {
    const auto answer = client_->Get("/INDEX.XML", data);
    if (answer && answer->status == 200) ++answered;
  }
  EXPECT_EQ(answered, 2000);
  EXPECT_LE(server_->RequestLog().size(), kPlcWebLogLines);
  EXPECT_EQ(server_->RequestLog().back(), "GET /INDEX.XML 200");
}

TEST_F(PlcWeb, ManyClientsAtOnceAreAllAnsweredWhilePostsWrite) {
  Serve();
  std::atomic<int> answered{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < 8; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client client("127.0.0.1", port_);
      client.set_read_timeout(10, 0);
      for (int i = 0; i < 150; ++i) {
        const auto answer = c % 2 == 0 ? client.Get("/INDEX.XML", {{"x-daltrex", "data"}})
                                       : client.Post("/INDEX.XML", "__R0_UINT_u%3D" + std::to_string(c),
                                                     "application/x-www-form-urlencoded");
        if (answer && answer->status == 200) ++answered;
      }
    });
  }
  for (std::thread& t : clients) t.join();
  EXPECT_EQ(answered.load(), 8 * 150);
  const std::uint16_t last = Count();
  EXPECT_TRUE(last == 1 || last == 3 || last == 5 || last == 7) << last;
}

const std::string kPasswords = "v,1,4\r\n1,0,0\r\nanna,Pa$$w0rd,5\r\n/SECRET.XML\r\n";

TEST_F(PlcWeb, WithSecurityOnlyTheLoginFilesAreServedBeforeALogin) {
  Serve(kPasswords);
  const auto page = client_->Get("/INDEX.XML");
  EXPECT_EQ(page->status, 302);
  EXPECT_EQ(page->get_header_value("Location"), "/LOGIN.XML");
  EXPECT_EQ(client_->Get("/INDEX.XML", {{"x-daltrex", "data"}})->status, 403);
  EXPECT_EQ(client_->Post("/INDEX.XML", "__R0_UINT_u=1", "application/x-www-form-urlencoded")->status, 302);
  EXPECT_EQ(Count(), 42);
  const auto login = client_->Get("/login.xml");
  EXPECT_EQ(login->status, 200);
  EXPECT_EQ(login->get_header_value("Content-Type"), "text/xml; charset=utf-8");
  EXPECT_EQ(Between(login->body, "<ACER VALUE=\"", "\"").size(), 32u);
  EXPECT_EQ(client_->Get("/LOGOUT.XML")->status, 200);
}

TEST_F(PlcWeb, ALoginRaisesTheLevelAndALogoutEndsIt) {
  Serve(kPasswords);
  int status = 0;
  const std::string session = Login("anna", "Pa$$w0rd", &status);
  ASSERT_EQ(status, 303);
  ASSERT_EQ(session.size(), 32u);
  const httplib::Headers cookie = {{"Cookie", "other=1; TWSID=" + session}};
  const auto secret = client_->Get("/SECRET.XML", cookie);
  EXPECT_EQ(secret->status, 200);
  EXPECT_NE(secret->body.find("USER_LEVEL=\"5\""), std::string::npos);
  EXPECT_EQ(client_->Get("/", cookie)->get_header_value("Location"), "/SECRET.XML");
  const auto logout = client_->Get("/LOGOUT.XML", cookie);
  EXPECT_EQ(logout->get_header_value("Set-Cookie"), "TWSID=; Path=/; Max-Age=0");
  EXPECT_EQ(client_->Get("/SECRET.XML", cookie)->status, 302);
}

TEST_F(PlcWeb, AFailedLoginAnswersTheLoginPageWithTheOutcome) {
  Serve(kPasswords);
  int status = 0;
  EXPECT_TRUE(Login("anna", "nope", &status).empty());
  EXPECT_EQ(status, 200);
  const auto expired = client_->Post("/LOGIN.XML", "USER=anna&PASS=" + std::string(40, '0') + "&ACER=1234",
                                     "application/x-www-form-urlencoded");
  EXPECT_EQ(expired->status, 200);
  EXPECT_NE(expired->body.find("<USER VALUE=\"anna\""), std::string::npos);
  EXPECT_NE(expired->body.find("<PASS VALUE=\"EXPIRED\""), std::string::npos);
  for (const std::string& body : {std::string("USER=anna&PASS=12&ACER=1"), std::string("USER=anna&ACER=1"),
                                  "USER=" + std::string(2000, 'a') + "&PASS=" + std::string(40, '0') + "&ACER=1"}) {
    EXPECT_EQ(client_->Post("/LOGIN.XML", body, "application/x-www-form-urlencoded")->status, 400);
  }
}

TEST_F(PlcWeb, APageAboveTheLevelGoesToTheLogin) {
  Serve("v,1,4\r\n1,0,0\r\nbob,pw,2\r\n\r\n");
  int status = 0;
  const std::string session = Login("bob", "pw", &status);
  ASSERT_EQ(status, 303);
  const httplib::Headers cookie = {{"Cookie", "TWSID=" + session}};
  EXPECT_EQ(client_->Get("/INDEX.XML", cookie)->status, 200);
  EXPECT_EQ(client_->Get("/SECRET.XML", cookie)->status, 302);
  httplib::Headers data = cookie;
  data.emplace("x-daltrex", "data");
  EXPECT_EQ(client_->Get("/SECRET.XML", data)->status, 403);
  // A post is admitted as the page's data is.
  const char* form = "application/x-www-form-urlencoded";
  EXPECT_EQ(client_->Post("/SECRET.XML", cookie, "__R0_UINT_u=1", form)->status, 302);
  EXPECT_EQ(client_->Post("/SECRET.XML", data, "__R0_UINT_u=1", form)->status, 403);
  EXPECT_EQ(Count(), 42);
}

TEST_F(PlcWeb, TheControlPathSetsAndReadsVariablesAndKeepsTheLog) {
  Serve();
  EXPECT_EQ(client_->Get("/~control/value?name=count")->body, "42");
  EXPECT_EQ(client_->Post("/~control/value", "name=Count&value=77", "application/x-www-form-urlencoded")->body, "77");
  EXPECT_EQ(Count(), 77);
  EXPECT_EQ(client_->Post("/~control/value", "name=Count&value=-1", "application/x-www-form-urlencoded")->status, 400);
  EXPECT_EQ(client_->Get("/~control/value?name=Nope")->status, 404);
  EXPECT_EQ(client_->Post("/~control/memory", "area=R&address=0&hex=0A00", "application/x-www-form-urlencoded")->body,
            "2");
  EXPECT_EQ(Count(), 10);
  for (const char* bad : {"area=Q&address=0&hex=00", "area=R&address=65535&hex=0000", "area=R&address=0&hex=0",
                          "area=R&address=x&hex=00", "area=R&address=0&hex=GG"})
    EXPECT_EQ(client_->Post("/~control/memory", bad, "application/x-www-form-urlencoded")->status, 400) << bad;
  EXPECT_EQ(Count(), 10);
  client_->Get("/NOPE.XML");
  const std::string log = client_->Get("/~control/log")->body;
  EXPECT_NE(log.find("GET /NOPE.XML 404\n"), std::string::npos) << log;
}

TEST_F(PlcWeb, StopEndsTheServerAndCanBeCalledAgain) {
  Serve();
  ASSERT_EQ(client_->Get("/INDEX.XML")->status, 200);
  server_->Stop();
  server_->Stop();
  httplib::Client late("127.0.0.1", port_);
  EXPECT_FALSE(late.Get("/INDEX.XML"));
}

}  // namespace
