#pragma once
// The fixture of the back end's tests: a virtual X server of the test's own
// and the back end installed on it; the driver is clean before and after.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "platform/x11/X11Backend.h"
#include "tests/platform/x11/XvfbServer.h"

class X11ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
    std::string error;
    backend = TX11Backend::Open(server.Name().c_str(), error);
    ASSERT_TRUE(backend) << error;
    backend->Install();
    Driver::Reset();
  }
  void TearDown() override {
    Application->ProcessMessages();
    if (backend) backend->Uninstall();
    backend.reset();
    Driver::Reset();
  }

  XvfbServer server;
  std::unique_ptr<TX11Backend> backend;
};
