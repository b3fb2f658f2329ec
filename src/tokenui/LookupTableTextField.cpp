// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenui/LookupTableTextField.h"

#include "uikit/AppTextStyle.h"

#include <QKeyEvent>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>

namespace {
constexpr const char* CELL_INDEX_PROPERTY = "lookupCellIndex";
}

LookupTableTextField::LookupTableTextField(QWidget* parent)
    : QLineEdit(parent)
{
    setFont(AppTextStyle::monoSpacedFont());
    setFrame(false);
}

LookupTableCellDelegate::LookupTableCellDelegate(MoveHandler moveHandler, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_moveHandler(std::move(moveHandler))
{
}

QWidget* LookupTableCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* field = new LookupTableTextField(parent);
    field->setAccessibleName(index.column() == 0 ? QStringLiteral("Find") : QStringLiteral("Replace"));
    field->setProperty(CELL_INDEX_PROPERTY, QVariant::fromValue(QPersistentModelIndex(index)));
    return field;
}

bool LookupTableCellDelegate::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<LookupTableTextField*>(watched);
    if (field && event->type() == QEvent::KeyPress) {
        std::optional<Move> move;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up: move = Move::up; break;
        case Qt::Key_Down: move = Move::down; break;
        case Qt::Key_Tab: move = Move::next; break;
        case Qt::Key_Backtab: move = Move::previous; break;
        default: break;
        }
        if (move) {
            const auto index = field->property(CELL_INDEX_PROPERTY).value<QPersistentModelIndex>();
            emit commitData(field);
            emit closeEditor(field, QAbstractItemDelegate::NoHint);
            // The move may rebuild the table: it runs once this key is done.
            if (index.isValid() && m_moveHandler) {
                QPointer<LookupTableCellDelegate> self(this);
                const int row = index.row();
                const int column = index.column();
                QTimer::singleShot(0, this, [self, move = *move, row, column] {
                    if (self)
                        self->m_moveHandler(move, row, column);
                });
            }
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}
