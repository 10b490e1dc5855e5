#pragma once

#include <memory>

// An icon: its images (largest first), shared between handles (platform/draw/qt/icon_data.h).
struct IconData;
using HICON = std::shared_ptr<const IconData>;

// Loads icon resource id (all its images); empty when there is none or it cannot be parsed.
HICON LoadIconResource(unsigned resourceId);
