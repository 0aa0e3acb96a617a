/*
 * zancore.h - the small core library that libzanvc loads beside itself:
 * aligned allocation, the largest data cache size and the thread count.
 */
#ifndef ZANCORE_H
#define ZANCORE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZANCORE_API __attribute__((visibility("default")))

/* Alignment of every block zanMalloc returns. */
#define ZANCORE_ALIGNMENT 64

/* At least `bytes` bytes aligned to 64, or NULL (also for bytes == 0).
 * Release with zanFree only. */
ZANCORE_API void* zanMalloc(size_t bytes);

/* Releases a block from zanMalloc; NULL is ignored. */
ZANCORE_API void zanFree(void* p);

/* p rounded up to a multiple of alignment (a power of two >= 1). */
ZANCORE_API void* zanAlignPtr(void* p, int32_t alignment);

/* Size in bytes of the largest data (or unified) cache of the machine.
 * Returns 0 and writes *pSize (> 0) when found; returns a non-zero status and
 * leaves *pSize untouched when it cannot be found or pSize is NULL. */
ZANCORE_API int32_t zanGetMaxCacheSizeB(int32_t* pSize);

/* Number of threads the library may use: the processors online, at least 1. */
ZANCORE_API int32_t ownGetNumThreads(void);

#ifdef __cplusplus
}
#endif

#endif
