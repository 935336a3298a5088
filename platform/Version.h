#pragma once
// The program's version as the about box and the converter show it.

namespace quillary {

inline constexpr char kVersionNumber[] = "0.9.0.3";
inline constexpr char kVersionText[] = "beta 0.9.0.3";

}  // namespace quillary
