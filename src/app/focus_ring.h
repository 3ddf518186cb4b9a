// SPDX-License-Identifier: MIT
// A ring around the control that has the keyboard focus, drawn by the window itself in the highlight colour, so that
// the focus can be seen at a glance on every control, in both layouts and at any scale, whatever the style draws.
#pragma once

#include <QPointer>
#include <QWidget>

namespace korva::app {

class FocusRing final : public QWidget
{
    Q_OBJECT

public:
    // A ring over the controls of `window`.
    explicit FocusRing(QWidget &window);

    // The control the ring surrounds; null while none of the window's controls has the focus.
    QWidget *Target() const { return target_.data(); }
    // The ring's width, in pixels.
    static constexpr int kWidth = 2;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Follow(QWidget *focused);
    void Place();

    QWidget &window_;
    QPointer<QWidget> target_;
};

} // namespace korva::app
