// Qt's own texts in Chinese: the OK and Cancel of every prompt, the file and
// print dialogs, the context menus of the fields, the About box.
#pragma once

namespace chain::gui {

// Installs Qt's Simplified Chinese translations (qtbase_zh_CN from the
// Qt translations folder) into the running application, whatever the
// system's language; the program speaks only Chinese. Safe to call more
// than once. False when the translations are not installed (Debian package
// qt6-translations-l10n): Qt's texts then stay English.
bool installQtTranslations();

} // namespace chain::gui
