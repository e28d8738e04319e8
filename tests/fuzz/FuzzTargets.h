#pragma once
// The fuzz targets by name. Outside a fuzzing build each target's LLVMFuzzerTestOneInput
// is renamed Fuzz_<name> so that all of them link into one replayer.
#include <cstddef>
#include <cstdint>

#define QM48_FUZZ_TARGET_LIST(X) \
  X(ini_document)                \
  X(setup_file)                  \
  X(user_wave_file)              \
  X(query_reply)                 \
  X(command_cutter)              \
  X(sync_pattern)                \
  X(number_text)                 \
  X(decom)                       \
  X(tmats)

#define QM48_DECLARE_FUZZ_TARGET(name) extern "C" int Fuzz_##name(const uint8_t* data, size_t size);
QM48_FUZZ_TARGET_LIST(QM48_DECLARE_FUZZ_TARGET)
#undef QM48_DECLARE_FUZZ_TARGET
