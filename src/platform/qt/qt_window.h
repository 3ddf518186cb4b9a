// SPDX-License-Identifier: MIT
// The reference window's controls by id, on Qt: the engine's view of a dialog built from the controls of controls.h.
#pragma once

#include "platform/platform.h"

#include <functional>
#include <map>

#include <QPointer>
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
    void SetControlText(int id, std::u16string_view text) override;
    std::size_t GetControlText(int id, std::span<char16_t> buffer) const override;
    void EnableControl(int id, bool enable) override;
    void ShowMessage(std::u16string_view text) override;

private:
    // The control of that id; null when the layout has none. Found once, and again should it be gone.
    QWidget *Control(int id) const;

    // What an id the layout lacks reaches: controls that hold nothing and do nothing.
    class NoList final : public ListBox
    {
    public:
        void ResetContent() override {}
        void InitStorage(std::size_t, std::size_t) override {}
        void AddItem(std::u16string_view, std::uint32_t) override {}
        void AddCodePageItem(std::string_view, std::uint32_t) override {}
        std::size_t GetCodePageText(int, std::span<char> buffer) const override
        {
            if (!buffer.empty()) {
                buffer[0] = '\0';
            }
            return 0;
        }
        std::uint32_t GetItemData(int) const override { return 0; }
        int GetCount() const override { return 0; }
        std::u16string GetText(int) const override { return {}; }
        int GetCurSel() const override { return kNoItem; }
        void SetCurSel(int) override {}
        int FindString(std::u16string_view) const override { return kNoItem; }
        void SetRedraw(bool) override {}
        std::uint64_t ItemsVersion() const override { return 0; }
    };
    class NoComboBox final : public ComboBox
    {
    public:
        void ResetContent() override {}
        void AddString(std::u16string_view) override {}
        void MarkFound(std::span<const std::u16string>) override {}
    };
    class NoEdit final : public EditBox
    {
    public:
        void Copy() override {}
        void ShowInFixedPitch(std::span<const TextRange>) override {}
        void MarkFound(std::span<const TextRange>) override {}
    };

    QWidget &dialog_;
    mutable std::map<int, QPointer<QWidget>> controls_;
    QPointer<QWidget> lostFocus_; // a control disabled with the focus, until the events at hand are handled
    QObject focusKept_;           // what forgets lostFocus_ then, gone with this window
    NoList noList_;
    NoComboBox noComboBox_;
    NoEdit noEdit_;
};

// Connects every control of `dialog` to `dispatch`, which gets the control's id and the notification whenever the user
// acts on it.
void ConnectNotifications(QWidget &dialog, const std::function<void(int id, Notification code)> &dispatch);

// The height in pixels of the primary screen.
int ScreenHeight();

} // namespace korva::platform::qt
