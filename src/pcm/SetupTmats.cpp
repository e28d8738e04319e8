#include "pcm/SetupTmats.h"

#include "pcm/PcmDescription.h"
#include "pcm/TmatsWriter.h"
#include "simulator/EncoderModel.h"
#include "simulator/Qm48SimulatorUnit.h"

bool TmatsOfSetup(const progsimulatorclass& sim, TmatsDocument document, std::string& text,
                  std::string& error) {
  const EncoderModel model(sim.Setup, sim.UserWaves, {sim.DoCrc16, sim.DoCttit, sim.CrcWdNum});
  PcmDescribeInput input;
  input.BitRate = sim.Setup.SimBitRate;
  input.LinkName = kTmatsLinkName;
  input.Setup = &sim.Setup;
  PcmFormat link;
  if (!DescribePcmLink(model, input, link, error)) return false;
  document.Links = {std::move(link)};
  text = WriteTmats(document);
  return true;
}
