// Qt's own texts (standard buttons, the file dialog) in Russian, whatever the system's locale.
#pragma once

#include <QString>

// Installs Qt's Russian catalogue into the running application; false when none was found.
bool LoadQtTranslations();
// Where the catalogue is looked for, first match wins: beside the program, then Qt's own folder.
QStringList QtTranslationFolders();
