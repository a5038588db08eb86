// Every way of splitting, in the order of the window's menu: the name of its
// mode and the function, in a file of its own in this folder, that says all
// there is to it (split_way.h). A new way is such a file and a row here.
#pragma once

namespace tovane {

#define TOVANE_WAYS(WAY)                     \
    WAY(BySize, sizeWay)                     \
    WAY(ByCount, countWay)                   \
    WAY(BySizeAtChapters, sizeAtChaptersWay) \
    WAY(ByMaxSize, maxSizeWay)               \
    WAY(ByChapters, chaptersWay)             \
    WAY(ByVolumes, volumesWay)

// How the user asked for the source to be split: a way's name.
enum class SplitMode {
#define TOVANE_MODE(mode, way) mode,
    TOVANE_WAYS(TOVANE_MODE)
#undef TOVANE_MODE
};

}  // namespace tovane
