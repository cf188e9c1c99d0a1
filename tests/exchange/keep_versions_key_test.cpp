#include "ini_file.h"
#include "project_db.h"
#include "project_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

// Each action carries its choice to keep versions through a project file; a file made before
// the choice existed imports with it off, and gets the key written back.
TEST(KeepVersionsKey, ExportedAndImportedWithEachAction)
{
    TempDir dir;
    ProjectDb db(dir("Tandrel.mdb"));
    const qint64 key = db.addProject("Clé", "");
    for (const char *keep : {"OUI", "NON"}) {
        Action action {0, key, "", "OUI", "*.*", "/a", "/b", "OUI", ">", "<>", "OR"};
        action.keepVersions = QString::fromLatin1(keep);
        db.addAction(action);
    }
    ASSERT_TRUE(ExportProject(db, key, dir("Clé.TDRL")).ok);
    const IniDocument exported(dir("Clé.TDRL"));
    QString first, second;
    EXPECT_TRUE(exported.find("Action1", "KeepVersions", &first));
    EXPECT_TRUE(exported.find("Action2", "KeepVersions", &second));
    EXPECT_EQ(first + second, "OUINON");

    const QByteArray older = "[Main]\nTemplateName=Ancien\nActions=1\n[Action1]\nEnabled=OUI\n"
                             "FileFilter=*.*\nFromFolder=/a\nToFolder=/b\n";
    QFile file(dir("Ancien.TDRL"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(older);
    file.close();
    const qint64 copy = ImportProject(db, dir("Clé.TDRL"), {key}).templateNo;
    const qint64 old = ImportProject(db, dir("Ancien.TDRL")).templateNo;
    QStringList flags;
    for (const qint64 project : {copy, old})
        for (const Action &action : db.actionsOf(project))
            flags << action.keepVersions;
    EXPECT_EQ(flags, (QStringList {"OUI", "NON", "NON"}));
    QString written;
    EXPECT_TRUE(IniDocument(dir("Ancien.TDRL")).find("Action1", "KeepVersions", &written));
    EXPECT_EQ(written, "NON");
}
