#include "cli_options.h"

#include <QCommandLineParser>
#include <QDateTime>

namespace {

QString quoted(const QString &text)
{
    return QStringLiteral("« %1 »").arg(text);
}

// The options that take a value.
const QStringList valued {QStringLiteral("app-dir"), QStringLiteral("daily"), QStringLiteral("at")};

// The first switch written with a value ("--quiet=1"), the only other way parse() can fail
// besides an unknown option or a missing value.
QString flagGivenAValue(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        const qsizetype equals = argument.indexOf(u'=');
        if (!argument.startsWith(u'-') || equals < 0)
            continue;
        QString name = argument.left(equals);
        while (name.startsWith(u'-'))
            name.remove(0, 1);
        if (!valued.contains(name))
            return argument.left(equals);
    }
    return {};
}

// The option whose value is missing: the last argument.
QString optionMissingItsValue(const QStringList &arguments)
{
    QString name = arguments.last();
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    return QStringLiteral("--") + (valued.contains(name) ? name : valued.front());
}

// schedule PROJECT and exactly one of --daily hh:mm, --at "dd.mm.yyyy hh:mm", --remove.
QString readSchedule(const QCommandLineParser &parser, const QStringList &positional,
    const QCommandLineOption &daily, const QCommandLineOption &at, const QCommandLineOption &remove,
    CliOptions &options)
{
    if (positional.size() != 2)
        return QStringLiteral("la commande %1 attend un seul projet : schedule PROJET --daily "
                              "HH:MM | --at \"JJ.MM.AAAA HH:MM\" | --remove")
            .arg(quoted("schedule"));
    options.projectName = positional.at(1);
    const int given = int(parser.isSet(daily)) + int(parser.isSet(at)) + int(parser.isSet(remove));
    if (given != 1 || parser.values(daily).size() + parser.values(at).size() > 1)
        return QStringLiteral("la commande %1 attend une seule des options %2, %3 ou %4")
            .arg(quoted("schedule"), quoted("--daily"), quoted("--at"), quoted("--remove"));
    if (parser.isSet(remove))
        return {};
    const bool isDaily = parser.isSet(daily);
    options.when = isDaily ? CliOptions::When::Daily : CliOptions::When::At;
    options.time = parser.value(isDaily ? daily : at);
    const QString format = isDaily ? QStringLiteral("HH:mm") : QStringLiteral("dd.MM.yyyy HH:mm");
    const bool valid = isDaily ? QTime::fromString(options.time, format).isValid()
                               : QDateTime::fromString(options.time, format).isValid();
    if (!valid)
        return QStringLiteral("%1 n'est pas %2")
            .arg(quoted(options.time),
                isDaily ? QStringLiteral("une heure HH:MM")
                        : QStringLiteral("une date et une heure \"JJ.MM.AAAA HH:MM\""));
    return {};
}

// An option given to a command it does not belong to, named as it was written.
QString misplacedOption(const QCommandLineParser &parser,
    std::initializer_list<const QCommandLineOption *> options, const QString &command)
{
    for (const QString &given : parser.optionNames())
        for (const QCommandLineOption *option : options)
            if (option->names().contains(given))
                return QStringLiteral("l'option %1 ne s'applique qu'à la commande %2")
                    .arg(quoted("--" + given), quoted(command));
    return {};
}

} // namespace

CliParse ParseCommandLine(const QStringList &arguments)
{
    // QCommandLineParser's own messages and help are English: both are written here instead.
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList {QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption appDir(QStringLiteral("app-dir"), {}, QStringLiteral("DIR"));
    const QCommandLineOption simulate(
        QStringList {QStringLiteral("simulate"), QStringLiteral("dry-run")});
    const QCommandLineOption showAll(QStringLiteral("show-all"));
    const QCommandLineOption quiet(QStringLiteral("quiet"));
    const QCommandLineOption replace(QStringLiteral("replace"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption wait(QStringLiteral("wait"));
    const QCommandLineOption daily(QStringLiteral("daily"), {}, QStringLiteral("HH:MM"));
    const QCommandLineOption at(QStringLiteral("at"), {}, QStringLiteral("DATE"));
    const QCommandLineOption remove(QStringLiteral("remove"));
    parser.addOptions(
        {help, appDir, simulate, showAll, quiet, replace, json, wait, daily, at, remove});

    CliParse result;
    CliOptions &options = result.options;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString &name = unknown.front();
            result.error = QStringLiteral("option inconnue : %1")
                               .arg(quoted((name.size() == 1 ? "-" : "--") + name));
        } else if (const QString flag = flagGivenAValue(arguments); !flag.isEmpty()) {
            result.error = QStringLiteral("l'option %1 ne prend pas de valeur").arg(quoted(flag));
        } else {
            result.error = QStringLiteral("valeur manquante après %1")
                               .arg(quoted(optionMissingItsValue(arguments)));
        }
        return result;
    }
    if (parser.isSet(help))
        return result; // Command::Help

    if (parser.isSet(appDir)) {
        options.appDir = parser.value(appDir);
        if (parser.values(appDir).size() > 1) {
            result.error
                = QStringLiteral("l'option %1 est donnée plusieurs fois").arg(quoted("--app-dir"));
            return result;
        }
        if (options.appDir.isEmpty()) {
            result.error = QStringLiteral("l'option %1 attend un dossier").arg(quoted("--app-dir"));
            return result;
        }
    }
    options.simulate = parser.isSet(simulate);
    options.showAll = parser.isSet(showAll);
    options.quiet = parser.isSet(quiet);
    options.replace = parser.isSet(replace);
    options.json = parser.isSet(json);
    options.wait = parser.isSet(wait);

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        result.error = QStringLiteral("commande manquante (run, list, export, import ou schedule)");
        return result;
    }
    const QString &command = positional.front();
    if (command == QLatin1String("run")) {
        options.command = CliOptions::Command::Run;
        if (positional.size() > 2)
            result.error = QStringLiteral("un seul projet à la fois ; argument en trop : %1 "
                                          "(mettez entre guillemets un nom qui contient des "
                                          "espaces)")
                               .arg(quoted(positional.at(2)));
        else if (positional.size() == 2)
            options.projectName = positional.at(1);
    } else if (command == QLatin1String("list")) {
        options.command = CliOptions::Command::List;
        if (positional.size() > 1)
            result.error = QStringLiteral("la commande %1 ne prend pas d'argument : %2")
                               .arg(quoted("list"), quoted(positional.at(1)));
    } else if (command == QLatin1String("export")) {
        options.command = CliOptions::Command::Export;
        if (positional.size() != 3)
            result.error = QStringLiteral("la commande %1 attend un projet et un fichier : "
                                          "export PROJET FICHIER")
                               .arg(quoted("export"));
        else {
            options.projectName = positional.at(1);
            options.projectFile = positional.at(2);
        }
    } else if (command == QLatin1String("import")) {
        options.command = CliOptions::Command::Import;
        if (positional.size() != 2)
            result.error = QStringLiteral("la commande %1 attend un seul fichier : import "
                                          "[--replace] FICHIER")
                               .arg(quoted("import"));
        else
            options.projectFile = positional.at(1);
    } else if (command == QLatin1String("schedule")) {
        options.command = CliOptions::Command::Schedule;
        result.error = readSchedule(parser, positional, daily, at, remove, options);
    } else {
        result.error
            = QStringLiteral("commande inconnue : %1 (run, list, export, import ou schedule)")
                  .arg(quoted(command));
    }
    using Command = CliOptions::Command;
    if (result.error.isEmpty() && options.command != Command::Run)
        result.error = misplacedOption(parser, {&simulate, &showAll, &quiet, &json, &wait}, "run");
    if (result.error.isEmpty() && options.command != Command::Import)
        result.error = misplacedOption(parser, {&replace}, "import");
    if (result.error.isEmpty() && options.command != Command::Schedule)
        result.error = misplacedOption(parser, {&daily, &at, &remove}, "schedule");
    return result;
}

QString HelpText()
{
    return QStringLiteral(
        "Utilisation :\n"
        "  tandrel-cli [--app-dir DOSSIER] run [--simulate] [--show-all] [--quiet] [--json]\n"
        "              [--wait] PROJET\n"
        "  tandrel-cli [--app-dir DOSSIER] run [--simulate] [--quiet] [--json] [--wait]\n"
        "  tandrel-cli [--app-dir DOSSIER] list\n"
        "  tandrel-cli [--app-dir DOSSIER] export PROJET FICHIER.TDRL\n"
        "  tandrel-cli [--app-dir DOSSIER] import [--replace] FICHIER.TDRL\n"
        "  tandrel-cli [--app-dir DOSSIER] schedule PROJET --daily HH:MM\n"
        "  tandrel-cli [--app-dir DOSSIER] schedule PROJET --at \"JJ.MM.AAAA HH:MM\"\n"
        "  tandrel-cli schedule PROJET --remove\n"
        "  tandrel-cli --help\n"
        "\n"
        "Lance sans fenêtre les projets de Tandrel, avec le même moteur et la même base de\n"
        "projets (Tandrel.mdb) que la fenêtre.\n"
        "\n"
        "Commandes :\n"
        "  run PROJET    Synchronise le projet de ce nom (nom exact, majuscules comprises ;\n"
        "                le premier s'il y en a plusieurs du même nom). Chaque ligne du\n"
        "                rapport s'affiche sur la sortie standard dès qu'elle est écrite, et\n"
        "                le rapport est ajouté au fichier PROJET.log du dossier de\n"
        "                l'application, comme après une synchronisation dans la fenêtre.\n"
        "                La progression s'affiche sur la sortie d'erreur quand c'est un\n"
        "                terminal. Ctrl+C (ou SIGTERM) annule la synchronisation : le\n"
        "                rapport se termine par le bloc d'annulation et il est enregistré.\n"
        "  run           Sans projet : synchronise le projet nommé par la clé Name de la\n"
        "                section AutoRunTemplate du fichier TDRL_Exe.ini du dossier de\n"
        "                l'application ; le rapport n'est enregistré que si la clé\n"
        "                ShowReport vaut « OUI ».\n"
        "                Un seul passage par projet à la fois, qu'il vienne de la fenêtre\n"
        "                ou de tandrel-cli : si le projet est déjà en cours, tandrel-cli\n"
        "                s'arrête aussitôt avec le code 4, sauf avec --wait. Pendant le\n"
        "                passage, la mise en veille de la machine est retardée.\n"
        "  list          Affiche les projets par ordre alphabétique et, sous chacun, ses\n"
        "                actions : filtre, dossier origine → dossier destination,\n"
        "                sous-dossiers, activée, critères de taille et de date, opérateur.\n"
        "  export PROJET FICHIER.TDRL\n"
        "                Écrit le projet de ce nom (nom exact, le premier s'il y en a\n"
        "                plusieurs) et ses actions dans un fichier projet, dont le nom doit\n"
        "                finir par « .TDRL » (en majuscules). Les autres sections d'un\n"
        "                fichier existant restent.\n"
        "  import [--replace] FICHIER.TDRL\n"
        "                Crée un nouveau projet avec les actions d'un fichier projet (tout\n"
        "                ou rien). Un projet du même nom (sans égard à la casse) est\n"
        "                refusé, sauf avec --replace, qui le remplace. Chaque valeur lue\n"
        "                est réécrite dans le fichier (clés manquantes ajoutées), comme le\n"
        "                fait la fenêtre. Au plus 1000 actions par fichier.\n"
        "  schedule PROJET --daily HH:MM | --at \"JJ.MM.AAAA HH:MM\" | --remove\n"
        "                Écrit (ou supprime) une minuterie systemd de l'utilisateur\n"
        "                (~/.config/systemd/user/tandrel-PROJET.timer et .service) qui\n"
        "                lance « tandrel-cli run PROJET » chaque jour à cette heure, ou une\n"
        "                fois à cette date, avec le même dossier de l'application ; un\n"
        "                passage manqué (machine éteinte) est fait au démarrage suivant.\n"
        "                Sans fenêtre : le programmateur de la fenêtre reste à part.\n"
        "\n"
        "Options :\n"
        "  --app-dir DOSSIER  Dossier de l'application : celui de Tandrel.mdb, des\n"
        "                     rapports (PROJET.log) et du programmateur (TDRL-timer.tmr).\n"
        "                     Par défaut, le dossier du programme s'il est accessible en\n"
        "                     écriture et que le programme n'est pas installé ; sinon le\n"
        "                     dossier de l'utilisateur, ~/.local/share/Tandrel (ou\n"
        "                     $XDG_DATA_HOME/Tandrel), la même règle que la fenêtre. Un\n"
        "                     programme installé (/usr/bin) donne ainsi à chaque\n"
        "                     utilisateur ses propres projets.\n"
        "  --simulate, --dry-run\n"
        "                     Simulation : le même parcours et le même rapport, sans\n"
        "                     copier aucun fichier ; une ligne avertit quand la place\n"
        "                     libre de la destination ne suffirait pas.\n"
        "  --show-all         Le rapport cite aussi les fichiers sans modification.\n"
        "  --quiet            N'affiche pas les lignes du rapport (le fichier .log les\n"
        "                     reçoit quand même).\n"
        "  --json             Au lieu des lignes du rapport, un objet JSON par ligne : un\n"
        "                     par fichier examiné (« file »), un par action (« action »),\n"
        "                     puis la fin (« end »). Le rapport .log est écrit comme\n"
        "                     d'habitude.\n"
        "  --wait             Attend la fin du passage en cours du même projet au lieu\n"
        "                     de s'arrêter avec le code 4.\n"
        "  --replace          Import : supprime d'abord le projet du même nom et ses\n"
        "                     actions.\n"
        "  -h, --help         Affiche cette aide.\n"
        "  --                 Termine les options (pour un projet dont le nom commence\n"
        "                     par « - »).\n"
        "\n"
        "Codes de sortie :\n"
        "    0  synchronisation terminée sans erreur de copie (ou liste affichée,\n"
        "       projet exporté ou importé)\n"
        "    1  synchronisation terminée, mais des fichiers n'ont pas pu être copiés\n"
        "       (ou les copies n'ont pas pu être écrites sur une clé, un disque\n"
        "       externe ou un partage avant « Terminé », ou le dossier origine ou\n"
        "       destination d'une action n'existait pas)\n"
        "    2  erreur fatale : la synchronisation s'est arrêtée (voir le rapport)\n"
        "    3  erreur d'utilisation, projet inconnu, projet sans action, base de\n"
        "       projets illisible, fichier projet refusé ou impossible à écrire\n"
        "    4  le projet est déjà en cours de synchronisation (sans --wait)\n"
        "  130  synchronisation annulée (Ctrl+C, SIGINT ou SIGTERM)\n");
}
