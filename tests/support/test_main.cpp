// Test entry point. The host build has no resource section: it registers the
// generated test database from its folder before the tests run.
#include <gtest/gtest.h>

#include "engine/resources.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
#ifndef _WIN32
    corvelle::LoadResourceDirectory(CORVELLE_TEST_DB_DIR);
#endif
    return RUN_ALL_TESTS();
}
