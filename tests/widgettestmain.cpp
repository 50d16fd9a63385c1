// SPDX-License-Identifier: MIT

// main() for tests that need a QApplication. Listing the tests needs none, so CTest can
// discover them without a display.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// CTest's SKIP_RETURN_CODE: the run asked for a locale this machine does not have.
constexpr int kSkipped = 77;

} // namespace

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // A suite run under LC_ALL is about that locale: without it, it would test nothing.
    if (const char *wanted = std::getenv("LC_ALL");
        wanted && *wanted && std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "skipped: the locale %s is not installed\n", wanted);
        return kSkipped;
    }
    // The formulas typed in the tests are kept in a folder of the run's own, never in the
    // user's, and no test sees another's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
