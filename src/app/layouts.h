// SPDX-License-Identifier: MIT
// The reference window's two layouts. Both hold the same controls, with the same ids, kinds and texts:
//   IDD_REFERENCE       "Command:" [search text] [Find] / command list / entry text / "Also See:" [see-also] [Copy]
//   IDD_REFERENCE_WIDE  [Find] [search text] [see-also] [Copy] / command list / entry text
// Tab order in both: command list, entry text, see-also list, Copy, Find, search text. The command list and the entry
// text take the window's growth, in the layout's proportions, a splitter between them.
#pragma once

#include <QDialog>

namespace korva::app {

// Builds the controls of layout `templateId` (IDD_REFERENCE or IDD_REFERENCE_WIDE) into `dialog`.
void BuildLayout(int templateId, QDialog &dialog);

// Shares the height of the list and the entry text in the layout's proportions, as the window opens; a splitter
// between them lets the user share it otherwise afterwards.
void ShareListAndEntry(int templateId, QDialog &dialog);

// The layout's size in pixels for `dialog`'s font, scaled for a desktop screen.
QSize LayoutSize(int templateId, const QDialog &dialog);

} // namespace korva::app
