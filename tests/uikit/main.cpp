// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need a QApplication; the platform plugin is offscreen.
int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
