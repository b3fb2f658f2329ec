// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestClock.h"
#include "TestEnvironment.h"

#include "core/DelayedUpdateWorker.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need a QApplication; the platform plugin is offscreen.
int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    QApplication app(argc, argv);
    DelayedUpdateWorker::setClock(&testClock());
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    finishDelayedUpdate();
    return result;
}
