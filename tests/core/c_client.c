/* A C99 client of the shared object: the header compiles as C99, the
 * records have their documented layout, and calls reach the library. */
#include <stdio.h>
#include <string.h>

#include "zanvc.h"

#define CHECK(c)                                                   \
    do {                                                           \
        if (!(c)) {                                                \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #c); \
            return 1;                                              \
        }                                                          \
    } while (0)

int main(void) {
    const ZanVersionInfo* v = zanvcGetLibVersion();
    Zan8u src[4 * 3], dst[5 * 3];
    ZanSize roi;
    int i;
    CHECK(v != NULL && v == zanvcGetLibVersion());
    CHECK(v->major == 8 && v->minor == 2 && v->update == 1 && v->revision == 44077);
    CHECK(strcmp(v->buildDate, "Oct  9 2014") == 0);

    for (i = 0; i < 12; ++i) src[i] = (Zan8u)i;
    memset(dst, 0xEE, sizeof dst);
    roi.width = 3;
    roi.height = 3;
    CHECK(zaniCopy_8u_C1R(src, 4, dst, 5, roi) == ZAN_OK);
    CHECK(dst[0] == 0 && dst[2] == 2 && dst[3] == 0xEE && dst[5] == 4 && dst[12] == 10);
    CHECK(zaniSet_8u_C1R(7, NULL, 5, roi) == ZAN_ERR_NULL_PTR);
    roi.width = 0;
    CHECK(zaniSet_8u_C1R(7, dst, 5, roi) == ZAN_ERR_SIZE);
    CHECK(ZAN_ERR_BUFFER_FULL == -223 && ZAN_WRN_PRED_FALLBACK == 11);
    printf("C99 client: ok\n");
    return 0;
}
