// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestEnvironment.h"
#include "tokenui/TestClock.h"

#include "core/DelayedUpdateWorker.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {
// A typing delay or an idle-queued save that a test leaves behind ends here,
// once its objects are gone, instead of landing in whichever test runs next.
class FinishLeftoverWork : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { finishDelayedUpdate(); }
};
} // namespace

// Widget tests need a QApplication; the platform plugin is offscreen.
int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    QApplication app(argc, argv);
    DelayedUpdateWorker::setClock(&testClock());
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FinishLeftoverWork);
    return RUN_ALL_TESTS();
}
