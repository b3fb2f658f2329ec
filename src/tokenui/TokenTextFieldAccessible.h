// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

#include <QList>

class TokenTextFieldEditor;

// What a screen reader meets in a token field: one line of editable text in
// which each chip reads as its label, not as an object character. Offsets
// are of that spoken text; the field's own positions are mapped to them.
class TokenTextFieldAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TokenTextFieldAccessible(TokenTextFieldEditor* editor);
    // Makes Qt hand out this interface for every token field editor.
    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    struct Spoken {
        QString text;
        // Where each position of the field (and its end) starts in `text`.
        QList<int> starts;
    };
    Spoken spoken() const;
    int spokenOffset(int position) const;
    int fieldPosition(int offset) const;
    TokenTextFieldEditor* editor() const;
};
