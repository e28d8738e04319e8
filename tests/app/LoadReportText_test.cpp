#include "app/LoadReportText.h"

#include <gtest/gtest.h>

TEST(LoadReportText, NothingIsReportedForALoadThatCompleted) {
  LoadAllOutcome ok;
  EXPECT_TRUE(LoadFailureReport(ok).text.empty());
  ok.stage = LoadStage::Query;
  EXPECT_TRUE(LoadFailureReport(ok).text.empty());
}

TEST(LoadReportText, AnInvalidSetupShowsTheValidationMessage) {
  LoadAllOutcome out;
  out.stage = LoadStage::Validation;
  out.validationMessage = "WORDS PER MINOR FRAME";
  const LoadReport r = LoadFailureReport(out);
  EXPECT_EQ(r.text, "INVALID SIM SETUP DATA.....WORDS PER MINOR FRAME");
  EXPECT_EQ(r.caption, "SIMULATOR SETUP INVALID");
}

TEST(LoadReportText, AFailedSendSaysWhichStageAndWhereItStopped) {
  LoadAllOutcome out;
  out.stage = LoadStage::Simulator;
  out.send.result = SendResult::TimedOut;
  out.send.commandNumber = 12;
  out.send.commandsAnswered = 11;
  out.send.commandText = "0800 0000 M";
  LoadReport r = LoadFailureReport(out);
  EXPECT_EQ(r.caption, "SIMULATOR LOAD INCOMPLETE");
  EXPECT_NE(r.text.find("command 12 (0800 0000 M)"), std::string::npos) << r.text;
  EXPECT_NE(r.text.find("already answered"), std::string::npos) << r.text;

  out.stage = LoadStage::Transmitter;
  out.send = {};
  out.send.result = SendResult::NoPort;
  r = LoadFailureReport(out);
  EXPECT_EQ(r.caption, "TRANSMITTER LOAD INCOMPLETE");
  EXPECT_NE(r.text.find("nothing was sent"), std::string::npos) << r.text;
  EXPECT_EQ(r.text.find("already answered"), std::string::npos) << r.text;

  out.stage = LoadStage::Query;
  out.send.result = SendResult::Disconnected;
  out.send.commandsAnswered = 2;
  r = LoadFailureReport(out);
  EXPECT_EQ(r.caption, "QUERY INCOMPLETE");
  EXPECT_NE(r.text.find("went away"), std::string::npos) << r.text;
}
