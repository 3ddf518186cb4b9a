// SPDX-License-Identifier: MIT
#include "layouts.h"

#include "platform/qt/controls.h"
#include "resource_ids.h"

#include <QBoxLayout>
#include <QLabel>

namespace korva::app {

namespace {

using platform::qt::CommandListView;
using platform::qt::ControlName;
using platform::qt::DialogButton;
using platform::qt::EntryTextEdit;
using platform::qt::SearchTextEdit;
using platform::qt::SeeAlsoComboBox;

// Each layout's size in layout units (a quarter of the average character width, an eighth of the line height), and
// the heights of the list and the entry text, which share the growth in that proportion.
struct LayoutMetrics
{
    int width;
    int height;
    int listHeight;
    int entryHeight;
};
constexpr LayoutMetrics kRegular{140, 172, 60, 58};
constexpr LayoutMetrics kCompact{183, 102, 37, 45};

// At one pixel a layout unit the window would be a small one; it opens this many times larger, and can be resized.
constexpr int kDesktopScale = 2;

struct Controls
{
    CommandListView *list;
    EntryTextEdit *entry;
    SeeAlsoComboBox *seeAlso;
    DialogButton *copy;
    DialogButton *find;
    SearchTextEdit *search;
};

// The controls in tab order, with their names for the object tree and for screen readers.
Controls MakeControls(QDialog &dialog)
{
    Controls controls{};
    controls.list = new CommandListView(&dialog);
    controls.list->setAccessibleName(QStringLiteral("Commands"));
    controls.entry = new EntryTextEdit(&dialog);
    controls.entry->setAccessibleName(QStringLiteral("Entry"));
    controls.seeAlso = new SeeAlsoComboBox(&dialog);
    controls.seeAlso->setAccessibleName(QStringLiteral("Also See"));
    controls.seeAlso->setAccessibleDescription(QStringLiteral("Also See"));
    controls.copy = new DialogButton(QStringLiteral("Copy"), &dialog);
    controls.copy->setObjectName(ControlName(IDC_COPY));
    controls.find = new DialogButton(QStringLiteral("Find"), &dialog);
    controls.find->setObjectName(ControlName(IDC_FIND));
    controls.search = new SearchTextEdit(&dialog);
    controls.search->setAccessibleName(QStringLiteral("Command"));

    QWidget::setTabOrder(controls.list, controls.entry);
    QWidget::setTabOrder(controls.entry, controls.seeAlso);
    QWidget::setTabOrder(controls.seeAlso, controls.copy);
    QWidget::setTabOrder(controls.copy, controls.find);
    QWidget::setTabOrder(controls.find, controls.search);
    return controls;
}

QLabel *MakeLabel(const QString &text, QWidget *buddy, QDialog &dialog)
{
    auto *label = new QLabel(text, &dialog);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setBuddy(buddy);
    return label;
}

void BuildRegular(QDialog &dialog)
{
    const Controls controls = MakeControls(dialog);
    auto *layout = new QVBoxLayout(&dialog);

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(MakeLabel(QStringLiteral("Command:"), controls.search, dialog));
    searchRow->addWidget(controls.search, 1);
    searchRow->addWidget(controls.find);
    layout->addLayout(searchRow);

    layout->addWidget(controls.list, kRegular.listHeight);
    layout->addWidget(controls.entry, kRegular.entryHeight);

    auto *seeAlsoRow = new QHBoxLayout;
    seeAlsoRow->addWidget(MakeLabel(QStringLiteral("Also See:"), controls.seeAlso, dialog));
    seeAlsoRow->addWidget(controls.seeAlso, 1);
    seeAlsoRow->addWidget(controls.copy);
    layout->addLayout(seeAlsoRow);
}

void BuildCompact(QDialog &dialog)
{
    const Controls controls = MakeControls(dialog);
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    // The row's widths in the layout's proportions (26 : 56 : 51 : 26), the buttons as narrow as their text allows.
    auto *topRow = new QHBoxLayout;
    topRow->addWidget(controls.find, 26);
    topRow->addWidget(controls.search, 56);
    topRow->addWidget(controls.seeAlso, 51);
    topRow->addWidget(controls.copy, 26);
    layout->addLayout(topRow);

    layout->addWidget(controls.list, kCompact.listHeight);
    layout->addWidget(controls.entry, kCompact.entryHeight);
}

} // namespace

void BuildLayout(int templateId, QDialog &dialog)
{
    if (templateId == IDD_REFERENCE_WIDE) {
        BuildCompact(dialog);
    } else {
        BuildRegular(dialog);
    }
}

QSize LayoutSize(int templateId, const QDialog &dialog)
{
    const LayoutMetrics &metrics = templateId == IDD_REFERENCE_WIDE ? kCompact : kRegular;
    const QFontMetrics font = dialog.fontMetrics();
    const int width = metrics.width * font.averageCharWidth() * kDesktopScale / 4;
    const int height = metrics.height * font.height() * kDesktopScale / 8;
    return {width, height};
}

} // namespace korva::app
