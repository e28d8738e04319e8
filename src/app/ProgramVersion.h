#pragma once
// The program's name and version as the caption, the log banner and the about box show them.

inline constexpr char kProgramTitle[] = "QM-48";
inline constexpr char kProgramVersion[] = "1.41";
