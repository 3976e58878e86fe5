// Qt's own texts (standard buttons, the file dialog) in Russian, whatever the system's locale.
#include "toolkit/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

QStringList QtTranslationFolders()
{
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath), QStringLiteral("/usr/share/qt6/translations")};
}

namespace {

// Qt's catalogue leaves "OK" in Latin letters; the program's buttons are Russian throughout.
class TButtonTexts final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(sourceText, "OK") == 0 || qstrcmp(sourceText, "&OK") == 0)
            if (qstrcmp(context, "QPlatformTheme") == 0 || qstrcmp(context, "QDialogButtonBox") == 0)
                return QStringLiteral("ОК");
        return QString();
    }
};

} // namespace

bool LoadQtTranslations()
{
    // The interface is Russian everywhere, so the system's locale has no say in the choice.
    auto *translator = new QTranslator(QCoreApplication::instance());
    for (const QString &folder : QtTranslationFolders())
        if (translator->load(QStringLiteral("qtbase_ru"), folder)) {
            QCoreApplication::installTranslator(translator);
            // Installed last, so it is asked first.
            return QCoreApplication::installTranslator(new TButtonTexts(QCoreApplication::instance()));
        }
    delete translator;
    return false;
}
