// SPDX-License-Identifier: MIT
#include "layouts.h"

#include "platform/qt/controls.h"
#include "resource_ids.h"

#include <QBoxLayout>
#include <QLabel>
#include <QSplitter>

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

// The list above the entry text, a splitter between them: the user can give the entry more room, and both share the
// window's growth in the layout's proportions, in which they open.
QSplitter *MakeSplitter(const Controls &controls, const LayoutMetrics &metrics, QDialog &dialog)
{
    auto *splitter = new QSplitter(Qt::Vertical, &dialog);
    splitter->setObjectName(QStringLiteral("ListAndEntry"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(controls.list);
    splitter->addWidget(controls.entry);
    splitter->setStretchFactor(0, metrics.listHeight);
    splitter->setStretchFactor(1, metrics.entryHeight);
    splitter->setSizes({metrics.listHeight, metrics.entryHeight});
    return splitter;
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

    layout->addWidget(MakeSplitter(controls, kRegular, dialog), 1);

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

    layout->addWidget(MakeSplitter(controls, kCompact, dialog), 1);
}

} // namespace

void ShareListAndEntry(int templateId, QDialog &dialog)
{
    const LayoutMetrics &metrics = templateId == IDD_REFERENCE_WIDE ? kCompact : kRegular;
    if (auto *splitter = dialog.findChild<QSplitter *>(QStringLiteral("ListAndEntry"))) {
        const int height = splitter->height() - splitter->handleWidth();
        const int list = height * metrics.listHeight / (metrics.listHeight + metrics.entryHeight);
        splitter->setSizes({list, height - list});
    }
}

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
