// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TestEnvironment.h"
#include "platform/MainWindowLocator.h"
#include "platform/UndoManager.h"
#include "rules/Transformers.h"
#include "ruleui/ButtonCollectionView.h"
#include "ruleui/ButtonViewController.h"
#include "ruleui/ButtonViewDataSource.h"
#include "ruleui/ButtonViewDelegate.h"

#include <gtest/gtest.h>

#include <memory>

// A rule list with a few rules, a button bar over it and an undo manager in
// place of the main window's.
class RuleBarFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        undoManager.setGroupsByEvent(false);
        MainWindowLocator::setUndoManager(&undoManager);
        bar = std::make_unique<ButtonViewController>();
        dataSource = new ButtonViewDataSource(&transformers, bar.get());
        delegate = new ButtonViewDelegate(&transformers, bar.get());
        bar->setup(&transformers, dataSource, delegate);
        bar->resize(600, 50);
    }
    void TearDown() override
    {
        TestEnvironment::drainEvents();
        MainWindowLocator::setUndoManager(nullptr);
    }

    // Rules of the given kinds, the first one current.
    void addRules(const QList<TransformerType>& types)
    {
        for (TransformerType type : types) {
            Transformer rule = Transformer::newTransformer();
            rule.type = type;
            transformers.insert(rule, transformers.count());
        }
        transformers.selectTransformerAt(0);
        TestEnvironment::drainEvents();
    }
    QStringList ids() const
    {
        QStringList list;
        for (const Transformer& t : transformers.list())
            list << t.id;
        return list;
    }
    ButtonCollectionView* view() const { return bar->collectionView(); }

    Transformers transformers;
    UndoManager undoManager;
    std::unique_ptr<ButtonViewController> bar;
    ButtonViewDataSource* dataSource = nullptr;
    ButtonViewDelegate* delegate = nullptr;
};
