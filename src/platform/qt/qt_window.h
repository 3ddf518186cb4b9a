// SPDX-License-Identifier: MIT
// The reference window's controls by id, on Qt: the engine's view of a dialog built from the controls of controls.h.
#pragma once

#include "platform/platform.h"

#include <functional>

#include <QWidget>

namespace korva::platform::qt {

class QtWindow final : public Window
{
public:
    // `dialog` holds the controls, each named by ControlName of its id; it owns the message box.
    explicit QtWindow(QWidget &dialog) : dialog_(dialog) {}

    ListBox &ListBoxById(int id) override;
    ComboBox &ComboBoxById(int id) override;
    EditBox &EditById(int id) override;
    void SetWindowText(int id, std::u16string_view text) override;
    std::size_t GetWindowText(int id, std::span<char16_t> buffer) const override;
    void EnableWindow(int id, bool enable) override;
    bool IsWindowEnabled(int id) const override;
    void MessageBox(std::u16string_view text) override;

private:
    QWidget &Control(int id) const;

    QWidget &dialog_;
};

// Connects every control of `dialog` to `dispatch`, which gets the control's id and the notification whenever the user
// acts on it.
void ConnectNotifications(QWidget &dialog, const std::function<void(int id, Notification code)> &dispatch);

// The height in pixels of the primary screen.
int ScreenHeight();

} // namespace korva::platform::qt
