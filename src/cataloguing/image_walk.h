#pragma once

#include "cataloguing/scan_folder.h"

namespace platterly::cataloguing {

// Catalogues a disc image or an archive as the disc it holds, without mounting it. The image's
// directory is read first, whole (names, kinds, sizes and times, never the contents), into a
// tree in memory: archives list their entries in any order and may leave folders out. That
// tree is then walked by ScanFolder, so the rows come exactly as for the same tree in a
// folder: the same order, LEVEL and TYPE, hidden names left out with everything in them.
//
// `request.nativeRoot` is the image file; `request.driveRoot` its drive form, which every
// PATH begins with. An image that cannot be read fails the walk before any row is given,
// with a message naming the file and what is wrong. Runs on any thread.
[[nodiscard]] WalkResult ScanImage(const WalkRequest& request, WalkSink& sink);

} // namespace platterly::cataloguing
