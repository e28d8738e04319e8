#pragma once
// The application's one link to the unit: the main window's, for the code at the top that
// speaks of "the port" (the pages' accept buttons, Load All from the menu). Everything
// below app/ is handed a UnitLink instead.
class UnitLink;

// The link registered by an ApplicationLinkScope, or one that stays unconnected when none
// is (a page without a window sends nothing: no port).
UnitLink& AppLink();

// Makes a link the application's for its lifetime: the main window's (or, in tests, one
// that stands in for it). Scopes nest; the last one made is in force.
class ApplicationLinkScope {
 public:
  explicit ApplicationLinkScope(UnitLink& link);
  ~ApplicationLinkScope();
  ApplicationLinkScope(const ApplicationLinkScope&) = delete;
  ApplicationLinkScope& operator=(const ApplicationLinkScope&) = delete;

 private:
  UnitLink* previous_;
};
