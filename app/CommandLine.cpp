// The player's command line: the few words it answers itself, and the puzzle paths.
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace {

const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("Показать эту справку и выйти."));
const QCommandLineOption VersionOption({QStringLiteral("v"), QStringLiteral("version")},
                                       QStringLiteral("Показать версию программы и выйти."));

bool Names(const QCommandLineOption &option, const QString &argument)
{
    for (const QString &name : option.names())
        if (argument == (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name)
            return true;
    return false;
}

} // namespace

TStartArguments ParseStartArguments(const QStringList &arguments)
{
    TStartArguments start;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--"))
            optionsEnded = true;
        else if (!optionsEnded && Names(HelpOption, argument))
            start.Help = true;
        else if (!optionsEnded && Names(VersionOption, argument))
            start.Version = true;
        else
            start.Paths << argument;
    }
    return start;
}

int PrintStartInfo(const TStartArguments &start)
{
    if (!start.Help) {
        std::printf("setkariy %s\n", SETKARIY_VERSION);
        return 0;
    }
    // The parser's own headings ("Usage:", "Options:") come from Qt's Russian translations.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Сеткарий — японские кроссворды: рисунок по числам.\n"
                       "Открывает названные головоломки; если программа уже запущена,\n"
                       "передаёт их ей и сразу завершается."));
    parser.addOption(HelpOption);
    parser.addOption(VersionOption);
    parser.addPositionalArgument(QStringLiteral("файлы"),
                                 QStringLiteral("Файлы головоломок (.pxg). Всё, что не параметр, — имя файла;\n"
                                                "после «--» именами файлов считаются и слова с дефисом."),
                                 QStringLiteral("[ФАЙЛ.pxg...]"));
    std::fputs(parser.helpText().toUtf8().constData(), stdout);
    return 0;
}
