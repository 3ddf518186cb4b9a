// SPDX-License-Identifier: MIT
#include "focus_ring.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace korva::app {

FocusRing::FocusRing(QWidget &window) : QWidget(&window), window_(window)
{
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { Follow(now); });
}

void FocusRing::Follow(QWidget *focused)
{
    if (target_ != nullptr) {
        target_->removeEventFilter(this);
    }
    // A control's inner part (a scroll area's viewport) has the focus for it: the ring goes round the control.
    while (focused != nullptr && focused->focusProxy() != nullptr) {
        focused = focused->focusProxy();
    }
    target_ = focused != nullptr && focused != &window_ && focused->window() == &window_ ? focused : nullptr;
    if (target_ == nullptr) {
        hide();
        return;
    }
    target_->installEventFilter(this);
    Place();
}

void FocusRing::Place()
{
    if (target_ == nullptr || !target_->isVisible()) {
        hide();
        return;
    }
    const QRect around(target_->mapTo(&window_, QPoint(0, 0)), target_->size());
    setGeometry(around.adjusted(-kWidth, -kWidth, kWidth, kWidth).intersected(window_.rect()));
    show();
    raise();
    update();
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == target_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        Place();
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Active, QPalette::Highlight), kWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
}

} // namespace korva::app
