// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/TokenFieldHost.h"
#include "tokenui/TokenString+Pasteboard.h"
#include "tokenui/TokenTextFieldEditor.h"
#include "tokenui/TransformDialogTextField.h"

#include "TestClock.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

// Failures show the token string's items.
void PrintTo(const TokenString& tokenString, std::ostream* out)
{
    *out << tokenString.debugDescription().toStdString();
}

namespace {

const QString clipboardBefore = QStringLiteral("clipboard before");

TokenItem dateChip()
{
    return TokenItem::attribute(QStringLiteral("date-modified"));
}

// "ab", a chip, "cd": the chip is character 2.
TokenString sample()
{
    return TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("ab")), dateChip(), TokenItem::string(QStringLiteral("cd")) });
}

TokenString text(const QString& value)
{
    return TokenString::string(value);
}

QMimeData* tokenStringData(const TokenString& tokenString)
{
    auto* mimeData = new QMimeData;
    TokenStringPasteboard::write(*mimeData, tokenString);
    return mimeData;
}

void select(TokenTextFieldEditor* editor, int from, int to)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
}

QPoint pointAt(TokenTextFieldEditor* editor, int position)
{
    QTextCursor cursor(editor->document());
    cursor.setPosition(position);
    return editor->cursorRect(cursor).center();
}

// Stands in for the rule editor: the fields sit in it and it names the scope.
class RuleEditorStandIn : public QWidget, public TokenFieldHost {
public:
    TransformScope scope = TransformScope::filename;
    TransformScope currentScopeValue() const override { return scope; }
};

// An editor whose drags do not run the platform's loop: the drop lands at
// `dropAt` in the editor itself, or, without one, the drag ends elsewhere
// with `actionElsewhere`.
class DraggingEditor : public TokenTextFieldEditor {
public:
    std::optional<QPoint> dropAt;
    Qt::DropAction actionElsewhere = Qt::IgnoreAction;
    int drags = 0;

protected:
    Qt::DropAction execDrag(QDrag& drag) override
    {
        ++drags;
        if (!dropAt)
            return actionElsewhere;
        QDragEnterEvent enter(*dropAt, Qt::CopyAction | Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent drop(QPointF(*dropAt), Qt::CopyAction | Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
        drop.setDropAction(enter.dropAction());
        QApplication::sendEvent(viewport(), &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
};

class TokenTransfer : public ::testing::Test {
protected:
    void SetUp() override
    {
        finishDelayedUpdate();
        new QVBoxLayout(&host);
        QApplication::clipboard()->setText(clipboardBefore);
    }
    void TearDown() override { finishDelayedUpdate(); }

    TransformDialogTextField* addField(const QList<TokenType>& types)
    {
        auto* field = new TransformDialogTextField(&host);
        field->setSupportedTokenTypes(types);
        host.layout()->addWidget(field);
        return field;
    }
    bool show()
    {
        host.resize(500, 200);
        host.show();
        return QTest::qWaitForWindowExposed(&host);
    }
    // A drag that enters the editor and drops there.
    static void drop(TokenTextFieldEditor* editor, const QMimeData& mimeData, const QPoint& at, Qt::DropActions actions,
        bool* accepted = nullptr)
    {
        QDragEnterEvent enter(at, actions, &mimeData, Qt::LeftButton, {});
        QApplication::sendEvent(editor->viewport(), &enter);
        QDropEvent event(QPointF(at), actions, &mimeData, Qt::LeftButton, {});
        event.setDropAction(enter.dropAction());
        QApplication::sendEvent(editor->viewport(), &event);
        if (accepted)
            *accepted = event.isAccepted();
    }
    static bool dragEnters(TokenTextFieldEditor* editor, const QMimeData& mimeData)
    {
        QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mimeData, Qt::LeftButton, {});
        QApplication::sendEvent(editor->viewport(), &event);
        return event.isAccepted();
    }
    // Presses on the chip at `position` and moves far enough to start a drag.
    static void dragChip(TokenTextFieldEditor* editor, int position)
    {
        const QPoint start = editor->chipFrame(position).center().toPoint();
        QTest::mousePress(editor->viewport(), Qt::LeftButton, {}, start);
        const QPoint away = start + QPoint(QApplication::startDragDistance() + 2, 0);
        QMouseEvent move(QEvent::MouseMove, away, editor->viewport()->mapToGlobal(away), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(editor->viewport(), &move);
        QTest::mouseRelease(editor->viewport(), Qt::LeftButton, {}, away);
    }

    RuleEditorStandIn host;
};

TEST_F(TokenTransfer, copiedChipsPasteAsChipsWhereTheFieldTakesThemAndAsTextElsewhere)
{
    TransformDialogTextField* source = addField({ TokenType::STRING, TokenType::ATTRIBUTE });
    TransformDialogTextField* chips = addField({ TokenType::STRING, TokenType::ATTRIBUTE });
    TransformDialogTextField* plain = addField({ TokenType::STRING });
    source->setTokenString(sample());

    source->tokenTextFieldEditor()->selectAll();
    source->tokenTextFieldEditor()->copy();
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    ASSERT_NE(clipboard, nullptr);
    ASSERT_TRUE(TokenStringPasteboard::tokenStrings(*clipboard).has_value());
    EXPECT_EQ(TokenStringPasteboard::tokenStrings(*clipboard)->first(), sample());

    chips->tokenTextFieldEditor()->paste();
    EXPECT_EQ(chips->tokenString(), sample());

    plain->tokenTextFieldEditor()->paste();
    EXPECT_EQ(plain->tokenString(), text(QStringLiteral("abdate-modifiedcd"))) << "the chip arrives as its value";
    EXPECT_EQ(plain->tokenTextFieldEditor()->textCursor().position(), 17) << "after the pasted text";
}

struct ConversionCase {
    const char* name;
    QList<TokenType> supported;
    TokenString pasted;
    TokenString expected;
};

TEST_F(TokenTransfer, tokensOfKindsTheFieldDoesNotTakeArriveAsTheirValue)
{
    const TokenItem regex(TokenType::REGEX, QStringLiteral("[0-9]+"));
    const TokenItem size = TokenItem::attribute(QStringLiteral("file-size"));
    const QList<ConversionCase> cases = {
        { "text only", { TokenType::STRING }, TokenString(QList<TokenItem> { size, regex }), text(QStringLiteral("file-size[0-9]+")) },
        { "attributes", { TokenType::STRING, TokenType::ATTRIBUTE }, TokenString(QList<TokenItem> { regex, size }),
            TokenString(QList<TokenItem> { TokenItem::string(regex.value), size }) },
        { "patterns", { TokenType::STRING, TokenType::REGEX }, TokenString(QList<TokenItem> { size, regex }),
            TokenString(QList<TokenItem> { TokenItem::string(size.value), regex }) },
        { "both", { TokenType::STRING, TokenType::ATTRIBUTE, TokenType::REGEX }, TokenString(QList<TokenItem> { size, regex }),
            TokenString(QList<TokenItem> { size, regex }) },
    };
    for (const ConversionCase& c : cases) {
        TransformDialogTextField* field = addField(c.supported);
        QApplication::clipboard()->setMimeData(tokenStringData(c.pasted));
        field->tokenTextFieldEditor()->paste();
        EXPECT_EQ(field->tokenString(), c.expected) << c.name;
    }
}

struct PlainCase {
    const char* name;
    std::function<QMimeData*()> data;
    TokenString expected;
};

TEST_F(TokenTransfer, pastedTextStaysOnOneLineAndNothingUsableChangesNothing)
{
    auto plain = [](const QString& value) {
        return [value] {
            auto* mimeData = new QMimeData;
            mimeData->setText(value);
            return mimeData;
        };
    };
    const QList<PlainCase> cases = {
        { "line breaks within", plain(QStringLiteral("a\nb\r\nc\u2029d")), text(QStringLiteral("xa b c dx")) },
        { "line breaks at the ends", plain(QStringLiteral("\r\nname\n")), text(QStringLiteral("xnamex")) },
        { "empty text", plain(QString()), text(QStringLiteral("xx")) },
        { "an empty token string", [] { return tokenStringData(TokenString()); }, text(QStringLiteral("xx")) },
        { "only a type the field does not read",
            [] {
                auto* mimeData = new QMimeData;
                mimeData->setHtml(QStringLiteral("<b>bold</b>"));
                return mimeData;
            },
            text(QStringLiteral("xx")) },
    };
    for (const PlainCase& c : cases) {
        TransformDialogTextField* field = addField({ TokenType::STRING });
        field->setStringValue(QStringLiteral("xx"));
        QTextCursor cursor(field->tokenTextFieldEditor()->document());
        cursor.setPosition(1);
        field->tokenTextFieldEditor()->setTextCursor(cursor);
        QApplication::clipboard()->setMimeData(c.data());
        field->tokenTextFieldEditor()->paste();
        EXPECT_EQ(field->tokenString(), c.expected) << c.name;
    }
}

TEST_F(TokenTransfer, pasteOverASelectionInsertsAtItsStartAndKeepsTheSelectedText)
{
    TransformDialogTextField* field = addField({ TokenType::STRING });
    field->setStringValue(QStringLiteral("abcd"));
    select(field->tokenTextFieldEditor(), 1, 3);
    QApplication::clipboard()->setText(QStringLiteral("X"));
    field->tokenTextFieldEditor()->paste();
    EXPECT_EQ(field->stringValue(), QStringLiteral("aXbcd"));
    EXPECT_EQ(field->tokenTextFieldEditor()->textCursor().position(), 2);
}

TEST_F(TokenTransfer, copyOrCutWithoutASelectionLeavesTheClipboardAlone)
{
    TransformDialogTextField* field = addField({ TokenType::STRING, TokenType::ATTRIBUTE });
    field->setTokenString(sample());
    select(field->tokenTextFieldEditor(), 1, 1);
    field->tokenTextFieldEditor()->copy();
    field->tokenTextFieldEditor()->cut();
    EXPECT_EQ(QApplication::clipboard()->text(), clipboardBefore);
    EXPECT_EQ(field->tokenString(), sample());

    // With a selection, cut takes it out and puts it on the clipboard.
    select(field->tokenTextFieldEditor(), 1, 3);
    field->tokenTextFieldEditor()->cut();
    EXPECT_EQ(field->stringValue(), QStringLiteral("acd"));
    EXPECT_EQ(TokenStringPasteboard::tokenStrings(*QApplication::clipboard()->mimeData())->first(),
        TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("b")), dateChip() }));
}

TEST_F(TokenTransfer, droppedFileRowInsertsThePartOfTheNameTheRuleScopeNames)
{
    TransformDialogTextField* field = addField({ TokenType::STRING });
    ASSERT_TRUE(show());
    EXPECT_EQ(field->transformDialogController(), static_cast<TokenFieldHost*>(&host));
    QMimeData row;
    row.setData(TokenStringPasteboard::fileTableViewRowUrlType, QUrl::fromLocalFile(QStringLiteral("/srv/photos/beach.jpg")).toEncoded());
    row.setText(QStringLiteral("not this"));
    const QList<std::pair<TransformScope, QString>> cases = {
        { TransformScope::filename, QStringLiteral("beach") },
        { TransformScope::path, QStringLiteral("/srv/photos") },
        { TransformScope::ext, QStringLiteral("jpg") },
        { TransformScope::fullPath, QStringLiteral("/srv/photos/beach.jpg") },
    };
    for (const auto& [scope, expected] : cases) {
        host.scope = scope;
        field->setStringValue(QStringLiteral("[]"));
        TokenTextFieldEditor* editor = field->tokenTextFieldEditor();
        EXPECT_TRUE(dragEnters(editor, row));
        bool accepted = false;
        drop(editor, row, pointAt(editor, 1), Qt::CopyAction | Qt::MoveAction, &accepted);
        EXPECT_TRUE(accepted);
        EXPECT_EQ(field->stringValue(), QLatin1Char('[') + expected + QLatin1Char(']')) << rawValue(scope).toStdString();
        EXPECT_EQ(editor->textCursor().position(), 1 + expected.size()) << "after the dropped text";
    }
    EXPECT_TRUE(TestEnvironment::processEventsUntil([&] { return field->isBeingEdited(); })) << "a drag entering takes the focus";
}

TEST_F(TokenTransfer, dragTypesFollowTheKindsTheFieldTakes)
{
    TransformDialogTextField* field = addField({ TokenType::STRING });
    const QStringList plainTypes = { TokenStringPasteboard::stringType, TokenStringPasteboard::fileTableViewRowUrlType };
    EXPECT_EQ(field->registeredDragTypes(), plainTypes);

    // A token string without its plain-text form.
    QMimeData tokensOnly;
    tokensOnly.setData(TokenStringPasteboard::tokenStringType,
        *TokenStringPasteboard::propertyList(sample(), TokenStringPasteboard::tokenStringType));
    EXPECT_FALSE(dragEnters(field->tokenTextFieldEditor(), tokensOnly));
    EXPECT_TRUE(field->accepts(tokensOnly)) << "a paste takes its text items";

    field->setSupportedTokenTypes({ TokenType::STRING, TokenType::REGEX });
    EXPECT_EQ(field->registeredDragTypes(), (QStringList { TokenStringPasteboard::stringType,
                                                TokenStringPasteboard::tokenStringType, TokenStringPasteboard::fileTableViewRowUrlType }));
    EXPECT_TRUE(dragEnters(field->tokenTextFieldEditor(), tokensOnly)) << "its text items are taken";

    QMimeData html;
    html.setHtml(QStringLiteral("<i>x</i>"));
    EXPECT_FALSE(dragEnters(field->tokenTextFieldEditor(), html));
}

struct MoveCase {
    const char* name;
    int dropPosition; // before the move
    TokenString expected;
    int insertionPoint;
};

TEST_F(TokenTransfer, dragWithinTheFieldMovesTheChipAndLeavesTheClipboardAlone)
{
    TransformDialogTextField* field = addField({ TokenType::STRING, TokenType::ATTRIBUTE });
    auto* editor = new DraggingEditor;
    editor->setControlView(field);
    host.layout()->addWidget(editor);
    ASSERT_TRUE(show());
    const QList<MoveCase> cases = {
        { "to the end", 5, TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("abcd")), dateChip() }), 5 },
        { "to the start", 0, TokenString(QList<TokenItem> { dateChip(), TokenItem::string(QStringLiteral("abcd")) }), 1 },
        { "onto itself", 2, sample(), 3 },
    };
    for (const MoveCase& c : cases) {
        editor->setTokenString(sample());
        editor->dropAt = pointAt(editor, c.dropPosition);
        const int drags = editor->drags;
        dragChip(editor, 2);
        ASSERT_EQ(editor->drags, drags + 1) << c.name;
        EXPECT_EQ(editor->tokenString(), c.expected) << c.name;
        EXPECT_FALSE(editor->textCursor().hasSelection()) << c.name;
        EXPECT_EQ(editor->textCursor().position(), c.insertionPoint) << c.name;
        EXPECT_EQ(QApplication::clipboard()->text(), clipboardBefore) << c.name;
    }
}

TEST_F(TokenTransfer, aDropFromElsewhereIsNeverTakenForAMoveOfEarlierText)
{
    TransformDialogTextField* field = addField({ TokenType::STRING, TokenType::ATTRIBUTE });
    auto* editor = new DraggingEditor;
    editor->setControlView(field);
    host.layout()->addWidget(editor);
    ASSERT_TRUE(show());
    QMimeData foreign;
    foreign.setText(QStringLiteral("X"));

    // A cut, then a drop that offers only a move.
    editor->setTokenString(sample());
    select(editor, 0, 1);
    editor->cut();
    ASSERT_EQ(editor->tokenString(), TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("b")), dateChip(),
                                         TokenItem::string(QStringLiteral("cd")) }));
    drop(editor, foreign, pointAt(editor, 4), Qt::MoveAction);
    EXPECT_EQ(editor->tokenString(), TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("b")), dateChip(),
                                         TokenItem::string(QStringLiteral("cdX")) }));

    // A drag of the chip that ended outside the window, then a drop.
    editor->setTokenString(sample());
    editor->dropAt.reset();
    editor->actionElsewhere = Qt::IgnoreAction;
    dragChip(editor, 2);
    EXPECT_EQ(editor->tokenString(), sample());
    drop(editor, foreign, pointAt(editor, 0), Qt::MoveAction);
    EXPECT_EQ(editor->tokenString(), TokenString(QList<TokenItem> { TokenItem::string(QStringLiteral("Xab")), dateChip(),
                                         TokenItem::string(QStringLiteral("cd")) }));

    // A chip moved into another application leaves the field.
    editor->setTokenString(sample());
    editor->actionElsewhere = Qt::MoveAction;
    dragChip(editor, 2);
    EXPECT_EQ(editor->tokenString(), text(QStringLiteral("abcd")));
}

} // namespace
