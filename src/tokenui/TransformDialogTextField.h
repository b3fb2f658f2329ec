// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenString.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QMimeData;
class TokenFieldHost;
class TokenTextFieldEditor;

// The text field of the rule editors whose value is a token string. All
// display and editing happen in its own editor, made with the field and never
// shared with another field.
class TransformDialogTextField : public QWidget {
    Q_OBJECT
public:
    explicit TransformDialogTextField(QWidget* parent = nullptr);

    TokenTextFieldEditor* tokenTextFieldEditor() const { return m_editor; }

    // The rule editor this field sits in, if any.
    TokenFieldHost* transformDialogController() const;

    // The token kinds this field takes from the clipboard and from drops.
    const QList<TokenType>& supportedTokenTypes() const { return m_supportedTokenTypes; }
    void setSupportedTokenTypes(const QList<TokenType>& types);

    // Whether a paste or drop of the data can put anything into this field:
    // a token kind it supports, else plain text or a file-table row.
    bool accepts(const QMimeData& mimeData) const;
    bool accepts(const QList<TokenType>& tokenTypes) const;

    // The data types a drag must carry to enter the field: the token string
    // type only where the field takes chips.
    static QStringList supportedTokenPasteboardTypes();
    static QStringList supportedPasteboardTypes();
    const QStringList& registeredDragTypes() const { return m_registeredDragTypes; }
    // Whether tokens show as chips here; such a field's editor says how the
    // keyboard opens a chip's options.
    bool takesChips() const;
    static QString chipOptionsHint();

    void setMonoFont();

    TokenString tokenString() const;
    void setTokenString(const TokenString& tokenString);
    // The plain text of a field that holds no tokens.
    QString stringValue() const;
    void setStringValue(const QString& text);

    // Keeps the insertion point: the current selection clipped to the text
    // while being edited, else an empty selection at the end.
    void selectText();
    bool isBeingEdited() const;
    // Takes the keyboard focus on a later turn of the event loop.
    void acquireFocus();

private:
    void updateRegisteredDragTypes();

    TokenTextFieldEditor* m_editor;
    QList<TokenType> m_supportedTokenTypes { TokenType::STRING };
    QStringList m_registeredDragTypes;
};
