// SPDX-License-Identifier: MIT
// The window's words in the user's language: the program's own translations, built into it, and the toolkit's for
// its own words (the text's context menu, the message box's button), where the system has them. What the window's
// documentation names as the program's own texts ("Search completed", "Find", "Params:"...), the accessible names and
// everything the terminal writes stay as they are in every language.
#pragma once

#include <QLocale>

namespace korva::app {

// Installs the translations for `locale` into the running application, in place of any installed before. A language
// the program has no translation for gets its English words, whose plural forms come from a translation too.
void InstallTranslations(const QLocale &locale);

} // namespace korva::app
