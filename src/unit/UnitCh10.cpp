#include "unit/UnitCh10.h"

#include "pcm/Ch10Recording.h"
#include "pcm/EncoderModel.h"
#include "pcm/PcmDescription.h"
#include "pcm/TmatsWriter.h"
#include "unit/UnitEncoderTables.h"

namespace {

constexpr int kModeRegister = 1;
constexpr int kPcmEncoderRegister = 2;
constexpr uint16_t kPrescaleShift = 5;
constexpr uint16_t kConvolutionOn = 1u << 8;
constexpr uint16_t kConvolutionThird = 1u << 9;
constexpr uint16_t kCh10PcmChannel = 1;
constexpr uint16_t kCh10TimeChannel = 2;

bool SingleRate(LineCode code) {
  switch (code) {
    case LineCode::NrzL:
    case LineCode::NrzM:
    case LineCode::NrzS:
    case LineCode::InvNrzL:
    case LineCode::Rnrz11:
    case LineCode::Rnrz15:
      return true;
    default:
      return false;
  }
}

std::string Trimmed(const std::string& name) {
  const size_t end = name.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

}  // namespace

double UnitBitRate(const SimulatorImage& image) {
  const int prescale = (image.registers[kModeRegister] >> kPrescaleShift) & 3;
  const double line = static_cast<double>(image.clock >> (4 * prescale));
  const uint16_t encoder = image.registers[kPcmEncoderRegister];
  const LineCode code = LineCodeOfEncoderRegister(encoder);
  // Convolutional coding (bits 8 and 9) is not modelled: its symbols are left out.
  const int coding = (encoder & kConvolutionOn) == 0 ? 1 : (encoder & kConvolutionThird) ? 3 : 2;
  return (SingleRate(code) ? line : line / 2) / coding;
}

bool UnitCh10Recording(const SimulatorImage& image, int64_t minorFrames, std::time_t start,
                       int milliseconds, std::vector<uint8_t>& bytes, std::string& error) {
  const EncoderModel model(EncoderTablesFromUnit(image));
  PcmDescribeInput input;
  input.BitRate = UnitBitRate(image);
  input.LinkName = "QM48-PCM";
  PcmFormat link;
  if (!DescribePcmLink(model, input, link, error)) return false;
  TmatsDocument document;
  const size_t format = static_cast<size_t>(image.formatNumber) % image.formatNames.size();
  document.ProgramName = Trimmed(image.formatNames[format]);
  if (document.ProgramName.empty()) document.ProgramName = "QM48";
  document.DataSourceType = "STO";
  document.Recording = true;
  document.PcmChannel = kCh10PcmChannel;
  document.TimeChannel = kCh10TimeChannel;
  document.Links = {std::move(link)};

  Ch10RecordingInput recording;
  recording.Tmats = WriteTmats(document);
  recording.Bits = model.Bits(minorFrames);
  recording.BitRate = input.BitRate;
  recording.StartSeconds = start;
  recording.StartMilliseconds = milliseconds;
  recording.PcmChannel = kCh10PcmChannel;
  recording.TimeChannel = kCh10TimeChannel;
  bytes = BuildCh10Recording(recording);
  return true;
}
