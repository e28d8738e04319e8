#pragma once
// What the setup window's pages tell the operator when a query or a load did not end as
// it should: an invalid simulator setup, or a send that timed out, was cancelled, found
// no port or lost it on the way.
#include <string>

#include "app/LoadAll.h"

struct LoadReport {
  std::string text;  // empty: nothing to report
  std::string caption;
};

// "INVALID SIM SETUP DATA....." and the validation message, captioned
// "SIMULATOR SETUP INVALID".
LoadReport InvalidSimSetupReport(const std::string& validationMessage);
// Nothing for an outcome that is Ok; otherwise the failed stage, how its send ended and
// where it stopped.
LoadReport LoadFailureReport(const LoadAllOutcome& outcome);
