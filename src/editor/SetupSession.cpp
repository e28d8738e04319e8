#include "editor/SetupSession.h"

#include "query/Qm48QueryUnit.h"
#include "simulator/Qm48SimulatorUnit.h"
#include "transmitter/Qm48TransmitterUnit.h"

SetupSession::SetupSession() {
  Renew();
}

SetupSession::SetupSession(NoProgramObjects) {}

SetupSession::~SetupSession() = default;

void SetupSession::Renew() {
  sim_ = std::make_unique<progsimulatorclass>();
  tx_ = std::make_unique<progtxclass>();
  query_ = std::make_unique<progqueryclass>();
  formatNumber = 0;
  formatNames = {};
  edited = false;
}

void SetupSession::Release() {
  query_.reset();
  tx_.reset();
  sim_.reset();
}

SimLoadFormat SetupSession::LoadFormat() const {
  const bool known = formatNumber >= 0 && formatNumber < static_cast<int>(formatNames.size());
  return {formatNumber, known ? formatNames[static_cast<size_t>(formatNumber)] : std::string()};
}
