// Entry point of every test program. GDI+ is started here as a dock host
// would start it before asking for icons.
#include <gtest/gtest.h>

#include "support/TestFolders.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    korimbo::test::GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}
