// SPDX-License-Identifier: GPL-3.0-or-later
#include "ruleui/RemovalAnimation.h"

#include <QLabel>
#include <QPropertyAnimation>
#include <QParallelAnimationGroup>

namespace RemovalAnimation {

void play(const QPixmap& picture, const QPoint& globalCenter)
{
    if (picture.isNull())
        return;
    auto* puff = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
    puff->setObjectName(QString::fromLatin1(OBJECT_NAME));
    puff->setAttribute(Qt::WA_TranslucentBackground);
    puff->setAttribute(Qt::WA_ShowWithoutActivating);
    puff->setAttribute(Qt::WA_DeleteOnClose);
    puff->setScaledContents(true);
    puff->setPixmap(picture);
    const QSize size = picture.deviceIndependentSize().toSize();
    QRect start(QPoint(), size);
    start.moveCenter(globalCenter);
    QRect end(QPoint(), size / 3);
    end.moveCenter(globalCenter);
    puff->setGeometry(start);
    puff->show();

    auto* group = new QParallelAnimationGroup(puff);
    auto* shrink = new QPropertyAnimation(puff, "geometry", group);
    shrink->setDuration(DURATION_MILLISECONDS);
    shrink->setStartValue(start);
    shrink->setEndValue(end);
    auto* fade = new QPropertyAnimation(puff, "windowOpacity", group);
    fade->setDuration(DURATION_MILLISECONDS);
    fade->setStartValue(1.0);
    fade->setEndValue(0.0);
    QObject::connect(group, &QAbstractAnimation::finished, puff, &QWidget::close);
    group->start();
}

} // namespace RemovalAnimation
