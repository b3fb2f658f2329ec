// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tokens/TokenString.h"
#include "tokenui/TokenTextAttachmentInfo.h"

#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>

#include <optional>

class QDrag;
class TransformDialogTextField;

// The editor of one token field: a single line of text in which tokens are
// chips. Tab and Backtab move the focus after the key has been handled; a
// click on a chip selects it, a double click asks for its popover; typing
// schedules the delayed save of the rule. Copy, cut, paste and drops carry
// token strings; a drag within the field moves its text without the clipboard.
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

    // The data types a paste or drop reads, the first present winning: a
    // file-table row, a token string, plain text.
    static QStringList readablePasteboardTypes();

    static constexpr qreal FOCUS_RING_WIDTH = 2;

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
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The tool tip also says how the keyboard opens a chip's options.
    bool event(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    // A paste inserts at the start of the selection and keeps the selected text.
    void insertFromMimeData(const QMimeData* source) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Runs the drag of the selection to its end and gives the action taken.
    virtual Qt::DropAction execDrag(QDrag& drag);

private:
    void moveFocus(bool forward);
    // Inserts what the data holds for this field at `location`, tokens of
    // kinds the field does not take as their text; the positions inserted.
    int insertPastedItems(const QMimeData& source, int location);
    bool isOwnDrag(const QMimeData* mimeData) const;
    bool pressIsInSelection(const QPoint& viewportPosition) const;
    bool isOnChipArrow(int chip, const QPoint& viewportPosition) const;
    void startDrag();
    void moveDraggedText(int location);
    void endDropFeedback();

    QPointer<TransformDialogTextField> m_controlView;
    std::optional<TokenTextAttachmentInfo> m_editedToken;
    bool m_loading = false;
    // A press inside the selection: a drag may start from it.
    std::optional<QPoint> m_dragStartPosition;
    bool m_pressedOnChip = false;
    bool m_pressedOnChipArrow = false;
    // While a drag of this editor's selection runs: its data and its range.
    // Nothing of it outlives the drag, so no later drop is taken for a move.
    QPointer<QMimeData> m_outgoingDrag;
    QTextCursor m_dragOrigin;
    bool m_droppedWithin = false;
};
