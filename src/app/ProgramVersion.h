#pragma once
// The program's name and version as the caption, the log banner and the about box show them.
// The version comes from the build (project(VERSION) in CMakeLists.txt), so the programs,
// the manual pages and the package all carry the same number.
#include "app/BuildVersion.h"

inline constexpr char kProgramTitle[] = "QM-48";
inline constexpr char kProgramVersion[] = QM48_VERSION;
