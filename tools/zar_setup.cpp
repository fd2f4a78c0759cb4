// Creates the program's database files in a folder: "ZAR.mdb" (with the first login
// password) and "ZAR_Vuoto.mdb" (no rows). An existing file is never overwritten.
#include "platform/Database.h"
#include "platform/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QString usage =
        QStringLiteral("usage: zar_setup [--keep-existing] FOLDER\n"
                       "Creates ZAR.mdb and ZAR_Vuoto.mdb in FOLDER; refuses to overwrite them\n"
                       "(with --keep-existing an existing file is left as it is).\n");
    QTextStream out(stdout);
    QTextStream err(stderr);
    bool keepExisting = false;
    QStringList folders;
    for (const QString& arg : app.arguments().mid(1)) {
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            out << usage;
            return 0;
        }
        if (arg == QLatin1String("--keep-existing"))
            keepExisting = true;
        else if (arg.startsWith(QLatin1Char('-'))) {
            err << "zar_setup: unknown option " << arg << "\n" << usage;
            return 2;
        } else
            folders << arg;
    }
    if (folders.size() != 1) {
        err << usage;
        return 2;
    }
    const QStringList args = folders;
    const QDir folder(args.first());
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        err << "zar_setup: cannot create the folder " << folder.path() << "\n";
        return 1;
    }
    struct Target {
        QString name;
        QString password;
    };
    const Target targets[] = {{QStringLiteral("ZAR.mdb"), QStringLiteral("ZAR")},
                              {QStringLiteral("ZAR_Vuoto.mdb"), QString()}};
    int rc = 0;
    for (const auto& t : targets) {
        const QString path = folder.filePath(t.name);
        if (keepExisting && QFileInfo::exists(path))
            continue;
        try {
            zar::createDatabaseFile(path, t.password);
        } catch (const zar::DbError& e) {
            err << "zar_setup: " << e.message() << "\n";
            rc = 1;
        }
    }
    return rc;
}
