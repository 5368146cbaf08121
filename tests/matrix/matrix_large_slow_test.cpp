// The catalogue matrix over the larger parts (above 512 KB) after the first of their family.
#include "matrix/MatrixRun.h"

namespace tavrin {
namespace {

TEST(CatalogueMatrixLarge, EveryLargeEntryEveryCommandEveryFault) {
    matrix::RunMatrix(true);
}

}  // namespace
}  // namespace tavrin
