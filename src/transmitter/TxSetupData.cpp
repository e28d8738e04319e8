#include "transmitter/TxSetupData.h"

const std::array<TxFieldInfo, kNumTxRegisters> kTxFields = {{
    {"FreqMhz", 1000.0, 3000.0, "      Tx Freq Write ---  : ", "SetFreqString()"},
    {"FmDeviation", 0, kTxMaxDeviationKhz,
     "      Tx Deviation Write ---  : ", "SetDeviationString()"},
    {"PreModFilterSelected", 0, kTxMaxPremodFilter,
     "      Tx Premod Filter Write ---  : ", "SetPremodString()"},
    {"AttenuationIndexDb", 0, kTxMaxFiledAttenIndex,
     "      Tx Attenuation Write ---  : ", "SetAttenuationString()"},
}};
