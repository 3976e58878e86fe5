// The player's command line: the few words it answers itself, and the puzzle paths.
#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
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

QString HandedPath(const QString &asGiven, const QString &folder)
{
    const QString joint = QStringLiteral("/./");
    if (asGiven.isEmpty())
        return asGiven;
    if (QDir::isAbsolutePath(asGiven))
        // An absolute path holding the joint itself gets one in front, so it comes back whole.
        return asGiven.contains(joint) ? joint + asGiven : asGiven;
    QString base = QDir::cleanPath(folder);
    if (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + joint + asGiven;
}

QString GivenPath(const QString &handed)
{
    const qsizetype joint = handed.indexOf(QStringLiteral("/./"));
    return joint < 0 ? handed : handed.mid(joint + 3);
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
