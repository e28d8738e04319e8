#include "app/ApplicationLink.h"

#include <atomic>

#include "link/UnitLink.h"

namespace {
std::atomic<UnitLink*> gAppLink{nullptr};

UnitLink& UnconnectedLink() {
  static UnitLink link;  // never opened: it has no port thread
  return link;
}
}  // namespace

UnitLink& AppLink() {
  UnitLink* link = gAppLink.load();
  return link ? *link : UnconnectedLink();
}

ApplicationLinkScope::ApplicationLinkScope(UnitLink& link) : previous_(gAppLink.exchange(&link)) {}

ApplicationLinkScope::~ApplicationLinkScope() {
  gAppLink.store(previous_);
}
