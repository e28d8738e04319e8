#pragma once
// A virtual unit on a pseudo-terminal with the application port opened on it: what the
// senders talk to in tests. The port is closed and the unit stopped at the end of scope.
#include <gtest/gtest.h>

#include <string>

#include "serial/ApplicationPort.h"
#include "unit/VirtualUnit.h"

inline VirtualUnitOptions UnitOptions(const std::string& fault = "none", uint32_t lineRate = 0) {
  VirtualUnitOptions options;
  std::string error;
  EXPECT_TRUE(ParseFaultMode(fault, options.fault, error)) << error;
  options.lineRate = lineRate;
  return options;
}

class UnitLink {
 public:
  explicit UnitLink(VirtualUnitOptions options = {}) : unit_(std::move(options)) {
    std::string error;
    started_ = unit_.Start(&error);
    EXPECT_TRUE(started_) << error;
    if (started_) opened_ = OpenApplicationPort(PortConfig{}, unit_.DevicePath());
    EXPECT_TRUE(opened_) << "the application port did not open on " << unit_.DevicePath();
    ReplyEvent().Reset();
    ClearReplyLine();
  }
  explicit UnitLink(const std::string& fault) : UnitLink(UnitOptions(fault)) {}
  ~UnitLink() {
    CloseApplicationPort();
    unit_.Stop();
  }
  UnitLink(const UnitLink&) = delete;
  UnitLink& operator=(const UnitLink&) = delete;

  bool Ready() const { return started_ && opened_; }
  VirtualUnit& Unit() { return unit_; }

 private:
  VirtualUnit unit_;
  bool started_ = false;
  bool opened_ = false;
};
