#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "link/TransmitBuffer.h"
#include "support/ProgramLog.h"
#include "transmitter/Qm48TransmitterUnit.h"
#include "transmitter/TxFrequency.h"
#include "transmitter/TxTestLog.h"

namespace {

std::vector<std::string> Load(progtxclass& tx) {
  tx.Prep232TxSetupData();
  return SplitCommands(tx.TxBuffer);
}

TEST(TxLoadSequence, FourRegisterWritesInOrder) {
  progtxclass tx;
  tx.Setup = {2250.5, 350, 2, 4};
  EXPECT_EQ(Load(tx), (std::vector<std::string>{"57E9 0 G", "015E 1 G", "0002 2 G", "0004 3 G"}));
  EXPECT_EQ(tx.TxBuffer.Fill(), 32u);

  // Every load starts from an empty buffer.
  tx.Setup = {1435.0, 0, 0, 19};
  EXPECT_EQ(Load(tx), (std::vector<std::string>{"380E 0 G", "0000 1 G", "0000 2 G", "0013 3 G"}));
  EXPECT_EQ(tx.TxBuffer.Fill(), 32u);

  // A fresh object loads its defaults.
  progtxclass fresh;
  EXPECT_EQ(Load(fresh)[0], "0000 0 G");
}

TEST(TxLoadSequence, EveryTenthOfAMegahertzIsItsOwnStep) {
  // The whole range the register can hold, as typed text and files give it (the nearest
  // double to k / 10), and as a running sum of 0.1 steps would drift to.
  double drifting = 0.0;
  for (uint32_t k = 0; k <= 65535; ++k) {
    ASSERT_EQ(FreqToSteps(k / 10.0), k) << k / 10.0;
    ASSERT_EQ(FreqToSteps(std::stod(std::to_string(k / 10) + "." + std::to_string(k % 10))), k);
    ASSERT_EQ(FreqToSteps(drifting), k) << drifting;
    drifting += 0.1;
  }
  EXPECT_EQ(FreqToSteps(2250.3), 22503u);
}

TEST(TxLoadSequence, FrequencyBetweenStepsIsRoundedDown) {
  EXPECT_EQ(FreqToSteps(2250.35), 22503u);  // the editor's 0.05 MHz positions
  EXPECT_EQ(FreqToSteps(2250.37), 22503u);
  EXPECT_EQ(FreqToSteps(2250.3999), 22503u);
  EXPECT_EQ(FreqToSteps(2250.40), 22504u);
  EXPECT_EQ(FreqToSteps(0.05), 0u);
}

TEST(TxLoadSequence, FrequenciesOutsideTheRegister) {
  EXPECT_EQ(FreqToSteps(std::numeric_limits<double>::quiet_NaN()), 0u);
  EXPECT_EQ(FreqToSteps(std::numeric_limits<double>::infinity()), 4294967295u);
  EXPECT_EQ(FreqToSteps(1e300), 4294967295u);
  EXPECT_EQ(FreqToSteps(-std::numeric_limits<double>::infinity()), 0x80000001u);
  EXPECT_EQ(FreqToSteps(-0.5), static_cast<uint32_t>(-5));
  EXPECT_EQ(FreqToSteps(-0.05), static_cast<uint32_t>(-1));

  // Only the four most significant hex digits of a wide value fit the command.
  progtxclass tx;
  tx.Setup = {7000.0, -1, 0, 0};
  const auto commands = Load(tx);
  EXPECT_EQ(commands[0], "1117 0 G");  // 70000 = 0x11170
  EXPECT_EQ(commands[1], "FFFF 1 G");
  tx.Setup.FreqMhz = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Load(tx)[0], "0000 0 G");
}

TEST(TxLoadSequence, DetailLoggingNamesEveryWrite) {
  TestLog log;
  progtxclass tx;
  tx.Setup = {2250.5, 350, 2, 4};
  gDebugLogging = false;
  tx.Prep232TxSetupData();
  const auto quiet = log.Messages();
  EXPECT_TRUE(std::none_of(quiet.begin(), quiet.end(), [](const std::string& m) {
    return m.find("TRANSMITTER") != std::string::npos || m.find("Tx ") != std::string::npos;
  }));
  gDebugLogging = true;
  tx.Prep232TxSetupData();
  gDebugLogging = false;
  const std::vector<std::string> expected = {
      std::string(42, '-'),
      "TRANSMITTER Prep232TxSetupData Routine START",
      "SetFreqString()",
      "      Tx Freq Write ---  : 57E9 0 G",
      "SetDeviationString()",
      "      Tx Deviation Write ---  : 015E 1 G",
      "SetPremodString()",
      "      Tx Premod Filter Write ---  : 0002 2 G",
      "SetAttenuationString()",
      "      Tx Attenuation Write ---  : 0004 3 G",
      "TRANSMITTER Prep232TxSetupData Routine END",
      std::string(44, '-'),
  };
  const auto messages = log.Messages();
  ASSERT_GE(messages.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(messages.end() - expected.size(), messages.end()), expected);
}

}  // namespace
