#pragma once

class QTranslator;

namespace zar {

// Loads Qt's own Italian texts (standard buttons, context menus, Qt's dialogs) into the
// translator and installs it on the application; the program's own texts are untouched.
// The translator must outlive its use. False when Qt's Italian translations are missing
// (package qt6-translations-l10n): Qt then speaks English.
bool installQtTexts(QTranslator& translator);

} // namespace zar
