#pragma once

#include "tokens/TokenString.h"
#include "tokenui/TokenTextAttachmentInfo.h"

#include <QPointer>
#include <QTextEdit>

#include <optional>

class TransformDialogTextField;

// The editor of one token field: a single line of text in which tokens are
// chips. Tab and Backtab move the focus after the key has been handled; a
// click on a chip selects it, a double click asks for its popover; typing
// schedules the delayed save of the rule.
class TokenTextFieldEditor : public QTextEdit {
    Q_OBJECT
public:
    explicit TokenTextFieldEditor(QWidget* parent = nullptr);

    TransformDialogTextField* controlView() const { return m_controlView; }
    void setControlView(TransformDialogTextField* controlView) { m_controlView = controlView; }
    const std::optional<TokenTextAttachmentInfo>& editedToken() const { return m_editedToken; }

    // Replaces the text without scheduling a save.
    void setTokenString(const TokenString& tokenString);
    TokenString tokenString() const;
    // The selection (the whole text when there is none) as a token string.
    TokenString selectedRangeAsTokenString() const;

    // The chip character under a point of the viewport, if any.
    std::optional<int> chipAt(const QPoint& viewportPosition) const;
    QRectF chipFrame(int position) const;

    void beginTokenEdit(const TokenTextAttachmentInfo& info);
    // Opens the popover of the chip at `position`; false when no chip is there.
    bool editChip(int position);
    // Replaces the chip at `location` when it still holds `original`; false
    // when the text changed meanwhile and the chip is gone.
    bool replaceTokenItem(int location, const TokenItem& original, const TokenItem& updated);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A double click on a chip: the rule editor shows the popover of that kind.
    void tokenEditRequested(const TokenTextAttachmentInfo& info, TokenAttributeViewKind kind);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void moveFocus(bool forward);
    std::optional<TokenString> pastableTokenString(const QMimeData& source) const;

    QPointer<TransformDialogTextField> m_controlView;
    std::optional<TokenTextAttachmentInfo> m_editedToken;
    bool m_loading = false;
};
