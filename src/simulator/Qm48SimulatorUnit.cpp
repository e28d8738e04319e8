#include "simulator/Qm48SimulatorUnit.h"

progsimulatorclass::progsimulatorclass() {
  for (auto& entry : WordAttributes) entry.fill(0);
  FileVersion = 2;
  SetDefaults(Setup, UserWaves);
  for (std::string& name : UserDefDynWordFn) name.clear();
  DoCrc16 = false;
  DoCttit = false;
  CrcWdNum = -1;
  TxBuffer.ClearTxBuffer();
}
