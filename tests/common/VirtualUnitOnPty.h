#pragma once
// A virtual unit on a pseudo-terminal with a link's port opened on it, for the senders to
// talk to; the port is closed and the unit stopped at the end of scope. Not copyable.
#include <gtest/gtest.h>

#include <string>

#include "link/UnitLink.h"
#include "unit/VirtualUnit.h"

inline VirtualUnitOptions UnitOptions(const std::string& fault = "none", uint32_t lineRate = 0) {
  VirtualUnitOptions options;
  std::string error;
  EXPECT_TRUE(ParseFaultMode(fault, options.fault, error)) << error;
  options.lineRate = lineRate;
  return options;
}

class VirtualUnitOnPty {
 public:
  explicit VirtualUnitOnPty(VirtualUnitOptions options = {}) : unit_(std::move(options)) {
    std::string error;
    started_ = unit_.Start(&error);
    EXPECT_TRUE(started_) << error;
    if (started_) opened_ = link_.Open(PortConfig{}, unit_.DevicePath());
    EXPECT_TRUE(opened_) << "the link's port did not open on " << unit_.DevicePath();
    link_.ReplyEvent().Reset();
    link_.ClearReplyLine();
  }
  explicit VirtualUnitOnPty(const std::string& fault) : VirtualUnitOnPty(UnitOptions(fault)) {}
  ~VirtualUnitOnPty() {
    link_.Close();
    unit_.Stop();
  }

  bool Ready() const { return started_ && opened_; }
  VirtualUnit& Unit() { return unit_; }
  UnitLink& Link() { return link_; }

 private:
  VirtualUnit unit_;
  UnitLink link_;
  bool started_ = false;
  bool opened_ = false;
};
