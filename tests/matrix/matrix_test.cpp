// The catalogue matrix over the first part of every family and every part up to 512 KB.
#include "matrix/MatrixRun.h"

namespace tavrin {
namespace {

TEST(CatalogueMatrix, EveryEntryEveryCommandEveryFault) {
    matrix::RunMatrix(false);
}

}  // namespace
}  // namespace tavrin
