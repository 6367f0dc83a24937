// Japanese texts for Qt's own dialogs and buttons (file dialogs, message-box buttons, the colour
// chooser, print preview), whatever the user's locale: the program speaks Japanese throughout.
#pragma once

// Loads Qt's Japanese catalogue (qtbase_ja from Qt's translations folder) into the running
// application, once per process. Returns whether it is installed; without it (the
// translations package missing) Qt's texts stay English and everything else works.
bool InstallQtTranslations();
