// What the windows say of an image's web copy.
#pragma once

#include <QString>

#include "engine/web_images.h"

namespace qm {

// The copy's name, its size in pixels and in bytes.
QString WebImageSummary(const WebImage& image);

}  // namespace qm
