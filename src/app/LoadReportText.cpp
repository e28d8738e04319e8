#include "app/LoadReportText.h"

LoadReport InvalidSimSetupReport(const std::string& validationMessage) {
  return {"INVALID SIM SETUP DATA....." + validationMessage, "SIMULATOR SETUP INVALID"};
}

LoadReport LoadFailureReport(const LoadAllOutcome& outcome) {
  if (outcome.Ok()) return {};
  if (outcome.stage == LoadStage::Validation)
    return InvalidSimSetupReport(outcome.validationMessage);
  const std::string how = SendOutcomeText(outcome.send) + ".";
  // Commands the unit already answered stay in effect in it.
  const std::string partly = outcome.send.commandsAnswered > 0 && outcome.stage != LoadStage::Query
                                 ? "\nThe commands already answered are in effect in the unit."
                                 : "";
  switch (outcome.stage) {
    case LoadStage::Query:
      return {"THE QUERY OF THE QM-48 DID NOT COMPLETE: " + how, "QUERY INCOMPLETE"};
    case LoadStage::Transmitter:
      return {"THE TRANSMITTER LOAD DID NOT COMPLETE: " + how + partly,
              "TRANSMITTER LOAD INCOMPLETE"};
    case LoadStage::Simulator:
    case LoadStage::Validation:
      break;
  }
  return {"THE SIMULATOR LOAD DID NOT COMPLETE: " + how + partly, "SIMULATOR LOAD INCOMPLETE"};
}
