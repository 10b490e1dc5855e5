#pragma once

inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;

// System measures in pixels: icons are 32 x 32 (small ones 16 x 16); 0 for other indexes.
int GetSystemMetrics(int index);
