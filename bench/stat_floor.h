#pragma once

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

// The names of a folder's entries (dot-files left out); nothing when it can't be listed.
typedef struct StatFloorNames StatFloorNames;
StatFloorNames* statFloorList(const char* folder);
size_t statFloorCount(const StatFloorNames* list);
// One fstatat for each name, relative to the folder opened once; the sum of the sizes.
long long statFloorSizes(const char* folder, const StatFloorNames* list);
void statFloorFree(StatFloorNames* list);

#ifdef __cplusplus
}
#endif
