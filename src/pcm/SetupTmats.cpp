#include "pcm/SetupTmats.h"

#include "pcm/EncoderModel.h"
#include "pcm/PcmDescription.h"
#include "pcm/TmatsWriter.h"
#include "simulator/BitRateSynthesis.h"
#include "simulator/Qm48SimulatorUnit.h"

bool TmatsOfSetup(const progsimulatorclass& sim, TmatsDocument document, std::string& text,
                  std::string& error) {
  const EncoderModel model(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
  PcmDescribeInput input;
  input.BitRate = sim.Setup.SimBitRate;
  input.LinkName = kTmatsLinkName;
  input.Setup = &sim.Setup;
  // The unit has no encoder setting for these randomizers: it sends the bits as NRZ-L at
  // the clock the setup gets, twice the bit rate (convolutional coding, not modelled, is
  // left out of the rate).
  const LineCode code = static_cast<LineCode>(sim.Setup.SimOutputCode);
  if (code == LineCode::Rnrz17 || code == LineCode::Rnrz23 || code == LineCode::Rnrz9) {
    input.Code = LineCode::NrzL;
    const int coding = sim.Setup.Convolution == 1 ? 2 : sim.Setup.Convolution == 2 ? 3 : 1;
    input.BitRate = static_cast<double>(SimLineRate(sim.Setup) / coding);
  }
  PcmFormat link;
  if (!DescribePcmLink(model, input, link, error)) return false;
  document.Links = {std::move(link)};
  text = WriteTmats(document);
  return true;
}
