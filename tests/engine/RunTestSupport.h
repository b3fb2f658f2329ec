// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EngineTestSupport.h"
#include "NotificationRecorder.h"
#include "core/AppNotification+Typed.h"
#include "core/AppNotification.h"
#include "core/DependencyInjectionRegistry.h"
#include "engine/RenameRunDelegate.h"
#include "engine/TransformationQueue.h"
#include "engine/TransformationService.h"
#include "files/FileDataSource.h"
#include "platform/GlobalActors.h"
#include "platform/MainWindowLocator.h"
#include "platform/Task.h"
#include "platform/UndoManager.h"
#include "rules/SelectTransformer.h"
#include "rules/Transformers.h"
#include "tokens/TokenString.h"

#include <deque>
#include <functional>

// Answers the rename run's questions from a script and keeps what it was shown.
class ScriptedDelegate : public RenameRunDelegate {
public:
    AbortResponse askAbortOrContinue(const Question& question) override
    {
        questions.push_back(question);
        if (onAsk)
            onAsk(question);
        if (answers.empty())
            return AbortResponse::abortRenaming();
        const AbortResponse answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showWarning(const QString& messageText, const QString& informativeText) override
    {
        warnings.push_back({ messageText, informativeText });
    }
    void showNotice(const QString& messageText, const QString& informativeText) override
    {
        notices.push_back({ messageText, informativeText });
        if (onNotice)
            onNotice(messageText);
    }
    void showPartialCompletion(const QString& messageText, const QString& informativeText) override
    {
        partialCompletions.push_back({ messageText, informativeText });
    }
    void showCompletion(const QString& text) override { completions.push_back(text); }

    std::deque<AbortResponse> answers;
    std::function<void(const Question&)> onAsk;
    std::vector<Question> questions;
    std::vector<std::pair<QString, QString>> warnings;
    std::vector<std::pair<QString, QString>> notices;
    // Called as each notice comes, to look at what holds at that moment.
    std::function<void(const QString& messageText)> onNotice;
    std::vector<std::pair<QString, QString>> partialCompletions;
    std::vector<QString> completions;
};

inline Transformer prefixRule(const QString& text)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::prefix;
    rule.properties.prefixText = TokenString::string(text);
    return rule;
}

inline Transformer suffixRule(const QString& text)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::suffix;
    rule.properties.suffixText = TokenString::string(text);
    return rule;
}

inline Transformer replaceRule(const QString& find, const QString& replace)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::simple;
    rule.properties.simpleFindText = find;
    rule.properties.simpleReplaceText = TokenString::string(replace);
    return rule;
}

inline Transformer selectMatchingRule(const QString& match)
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::select;
    rule.properties.selectType = SelectTransformer::kTypeSelectMatching;
    rule.properties.selectMatch = match;
    return rule;
}

// A rule whose pattern does not compile: its full form fails with `fatal`.
inline const QString kInvalidParenthesis = QStringLiteral("Invalid regular expression '(': a parenthesis is not closed or not opened, near character 1");
inline Transformer failingRule()
{
    Transformer rule = Transformer::newTransformer();
    rule.type = TransformerType::regex;
    rule.properties.regexFindText = TokenString::string(QStringLiteral("("));
    return rule;
}

// The stores in the registry, an undo manager for the window, a scripted
// delegate for the questions; the runs go through the real executors.
class EngineRunTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        DependencyInjectionRegistry::shared().registerInstance(fileDataSource);
        DependencyInjectionRegistry::shared().registerInstance(transformers);
        MainWindowLocator::setUndoManager(&undoManager);
        TransformationService::shared().setDelegate(delegate);
    }
    void TearDown() override
    {
        waitForExecutors();
        TransformationService::shared().setDelegate(nullptr);
        MainWindowLocator::setUndoManager(nullptr);
        EngineTest::TearDown();
    }

    // Lets every executor finish what it was given, with the main loop running,
    // and the single-file queue's drain end: it runs on a task of its own and
    // would otherwise post to the next test's store and observers.
    void waitForExecutors()
    {
        for (;;) {
            for (SerialExecutor* executor : { &GlobalActors::transformation(), &GlobalActors::validation(),
                     &GlobalActors::transformationQueue(), &GlobalActors::transformation() }) {
                const TaskHandle probe = TaskHandle::start(*executor, [](std::stop_token) { });
                ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return probe.isFinished(); }, std::chrono::seconds(30)));
            }
            TestEnvironment::drainEvents();
            if (!TransformationQueue::isProcessing())
                return;
            // Its end may queue more work, so the executors are asked again.
            ASSERT_TRUE(TestEnvironment::processEventsUntil([] { return !TransformationQueue::isProcessing(); },
                std::chrono::seconds(30)));
        }
    }

    // Runs `work` on the transformation executor, as the event handler does,
    // and keeps the main loop running until it is done.
    void runOnTransformation(std::function<void(std::stop_token)> work, std::stop_source stop = {})
    {
        const TaskHandle task = TaskHandle::start(GlobalActors::transformation(),
            [work = std::move(work), token = stop.get_token()](std::stop_token) { work(token); });
        ASSERT_TRUE(TestEnvironment::processEventsUntil([&] { return task.isFinished(); }, std::chrono::seconds(30)));
        TestEnvironment::drainEvents();
    }
    void runPreview() { runOnTransformation([](std::stop_token stop) { TransformationService::shared().transformAllFilesQuick(stop); }); }
    // The preview, then the late update of every row that waits for one, as
    // the table asks for them; the validation result the rule bar ends with.
    FileValidationResult previewWithLateUpdates(int expectedLate)
    {
        NotificationRecorder validations({ NotificationName::validationResult });
        runPreview();
        LogCapture log;
        int late = 0;
        for (const File& file : fileDataSource->getAllFiles()) {
            if (file.transformed.lateUpdateRequired) {
                ++late;
                TransformationQueue::enqueFileTransformation(file, TransformationQueue::TransformationPriority::normal);
            }
        }
        EXPECT_EQ(late, expectedLate) << "rows that wait for their data";
        EXPECT_TRUE(TestEnvironment::processEventsUntil([&] {
            return !log.lines().filter(QStringLiteral("fileTransformQueue: End processing")).isEmpty()
                && !TransformationQueue::isProcessing();
        }));
        waitForExecutors();
        if (validations.received.empty())
            return {};
        return *AppNotification::ValidationResult::get(validations.received.back());
    }
    void runRename(std::stop_source stop = {})
    {
        runOnTransformation([](std::stop_token token) { TransformationService::shared().applyTransformationsAndRename(true, token); }, stop);
    }

    // Lists files in the root folder (created when missing), without undo.
    void listFiles(const QStringList& names)
    {
        QList<File> files;
        for (const QString& name : names) {
            if (!exists(name))
                touch(name);
            files << File(QUrl::fromLocalFile(path(name)), false);
        }
        fileDataSource->replaceFilesNoUndo(files, FileAction::replace, false);
    }
    void setRules(const QList<Transformer>& rules) { transformers->replaceTransformers(rules); }

    QStringList newNames() const
    {
        QStringList names;
        for (const File& file : fileDataSource->getAllFiles())
            names << file.transformed.transformedName.value() + file.transformed.transformedExtSuffix();
        return names;
    }
    QStringList storedNames() const
    {
        QStringList names;
        for (const File& file : fileDataSource->getAllFiles())
            names << file.source.fileInfo.name + file.source.extSuffix();
        return names;
    }

    // Calls `hook` on the main thread once the run's own validation has
    // finished, before anything is renamed.
    void afterValidation(std::function<void()> hook)
    {
        NotificationCenter& center = NotificationCenter::defaultCenter();
        validatingId.clear();
        center.addObserver(&observer, NotificationName::showProgressIndicator, [this](const Notification& notification) {
            const auto payload = AppNotification::ShowProgressIndicator::get(notification);
            if (payload.message == QStringLiteral("Validating..."))
                validatingId = payload.messageId;
        });
        center.addObserver(&observer, NotificationName::hideProgressIndicator, [this, hook = std::move(hook)](const Notification& notification) {
            if (!validatingId.isEmpty() && AppNotification::HideProgressIndicator::get(notification) == validatingId)
                hook();
        });
    }

    std::shared_ptr<FileDataSource> fileDataSource = std::make_shared<FileDataSource>();
    std::shared_ptr<Transformers> transformers = std::make_shared<Transformers>();
    std::shared_ptr<ScriptedDelegate> delegate = std::make_shared<ScriptedDelegate>();
    UndoManager undoManager;
    QObject observer;
    QString validatingId;
};
