#include "app_options.h"

#include "autostart_entry.h"

AppOptions ParseAppOptions(const QStringList &arguments)
{
    AppOptions options;
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            options.help = true;
        else if (argument == QLatin1String(StartMinimizedOption))
            options.minimized = true;
    }
    return options;
}

QString AppHelpText()
{
    return QStringLiteral("Utilisation :\n"
                          "  tandrel [--minimized]\n"
                          "  tandrel --help\n"
                          "\n"
                          "Ouvre la fenêtre de Tandrel (voir « man tandrel »).\n"
                          "\n"
                          "Options :\n"
                          "  --minimized  Démarre réduit dans la zone de notification, comme au\n"
                          "               démarrage avec la session.\n"
                          "  -h, --help   Affiche cette aide.\n");
}
