#include "TProjectManager.h"

#include "ProjectFixture.h"
#include "QtPrinters.h"
#include "TPicturePaths.h"
#include "TVisualDefaults.h"
#include "TVQQModuleBase.h"

#include <QDateTime>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <unistd.h>

// The project files under tests/data/project were written by hand (with a small script outside
// the project): every record in the layouts of the file format, every width example.

namespace {

class ProjectManagerTest : public ::testing::Test, public ProjectFixture
{
};

} // namespace

TEST_F(ProjectManagerTest, TwoApplicationsWithEveryKindOfControlRoundTrip)
{
    const QByteArray file = TestFile(QStringLiteral("two-applications.qvp"));
    ASSERT_TRUE(Open(QStringLiteral("house.qvp"), file));
    EXPECT_TRUE(messages.Shown.isEmpty()) << messages.Shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(std::make_tuple(project->Version(), project->IsOpen(), project->FileName(), project->GetModified()),
              std::make_tuple(4, true, Path(QStringLiteral("house.qvp")), false));
    // Every control bound (the file's bytes come back whole below, so none was dropped).
    EXPECT_EQ(project->ControlCount(), 17u);
    const TNewVisualOutput second = project->Outputs()[1]->CurrentRecord();
    EXPECT_EQ(std::make_tuple(second.Left, second.Reserved8, second.Reserved19), std::make_tuple(800, 3, 8u));
    EXPECT_EQ(project->Screens()[1]->ScreenRecord().Border, 2);
    EXPECT_EQ(project->Shortcuts()[2]->CurrentRecord().TargetScreenId, TVisualShortCut::NoTarget);

    // Written again: the same bytes.
    EXPECT_EQ(project->Compose(), file);
    ASSERT_TRUE(project->WriteProject(Path(QStringLiteral("copy"))));
    EXPECT_EQ(project->FileName(), Path(QStringLiteral("copy.qvp")));
    EXPECT_EQ(ProgramFolder::Read(Path(QStringLiteral("copy.qvp"))), file);
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("OldVersion/house.qvp2-01-00"))));
}

// Older versions are upgraded with a copy in "OldVersion", made when the folder is missing: the
// upgrade never goes without its copy.
TEST_F(ProjectManagerTest, OlderVersionsAreUpgradedWithACopy)
{
    QDir(ProgramFolder()).rmdir(QStringLiteral("OldVersion"));
    for (const char *name : {"version-3", "version-2"}) {
        messages.Shown.clear();
        const QString file = QString::fromLatin1(name) + QStringLiteral(".qvp");
        const QByteArray content = TestFile(file);
        Open(file, content);
        EXPECT_EQ(messages.Shown, QStringList({"This application will be update"})) << name;
        EXPECT_EQ(project->Compose(), TestFile(file + QStringLiteral(".expected"))) << name;
        EXPECT_EQ(ProgramFolder::Read(Path(QStringLiteral("OldVersion/") + QString::fromLatin1(name) + QStringLiteral(".qvp2-01-00"))), content);
    }
    // A version-2 file ends after its shortcuts: the project takes no name and is not open.
    EXPECT_EQ(project->Version(), 2);
    EXPECT_FALSE(project->IsOpen() && !project->FileName().isEmpty());
    EXPECT_TRUE(project->FileName().isEmpty());

    // Opening the copy itself never deletes or changes it.
    const QString copy = Path(QStringLiteral("OldVersion/version-2.qvp2-01-00"));
    Open(copy);
    EXPECT_EQ(project->Version(), 2);
    EXPECT_EQ(ProgramFolder::Read(copy), TestFile(QStringLiteral("version-2.qvp")));

    // The same name again: damaged, it is refused and the good copy stays; changed but whole, it
    // is kept beside the first copy, numbered.
    const QByteArray good = TestFile(QStringLiteral("version-3.qvp"));
    const QString first = Path(QStringLiteral("OldVersion/version-3.qvp2-01-00"));
    messages.Shown.clear();
    EXPECT_FALSE(Open(QStringLiteral("version-3.qvp"), good.left(good.indexOf("EOF ShortCut"))));
    EXPECT_TRUE(messages.Shown.isEmpty());
    EXPECT_EQ(ProgramFolder::Read(first), good);
    QByteArray changed = good;
    changed.replace("|secret|", "|secreT|");
    ASSERT_TRUE(Open(QStringLiteral("version-3.qvp"), changed));
    EXPECT_EQ(ProgramFolder::Read(first + QStringLiteral(".1")), changed);
    EXPECT_EQ(ProgramFolder::Read(first), good);
}

// Saving through a symbolic link replaces the file it leads to and keeps the link; a read-only
// file is refused and stays as it was.
TEST_F(ProjectManagerTest, SavingThroughLinksAndOverReadOnlyFiles)
{
    const QByteArray file = TestFile(QStringLiteral("two-applications.qvp"));
    ASSERT_TRUE(Open(QStringLiteral("real.qvp"), file));
    ASSERT_TRUE(QFile::link(Path(QStringLiteral("real.qvp")), Path(QStringLiteral("link.qvp"))));
    project->SetModified();
    QString error;
    ASSERT_TRUE(project->WriteProject(Path(QStringLiteral("link.qvp")), &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("link.qvp"))).isSymLink());
    const QByteArray saved = ProgramFolder::Read(Path(QStringLiteral("real.qvp")));
    EXPECT_EQ(saved, project->Compose());

    QFile::setPermissions(Path(QStringLiteral("real.qvp")), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    project->SetModified();
    EXPECT_FALSE(project->WriteProject(Path(QStringLiteral("real.qvp")), &error));
    EXPECT_EQ(error, QStringLiteral("The file is read-only: ") + Path(QStringLiteral("real.qvp")));
    EXPECT_TRUE(project->GetModified());
    EXPECT_FALSE(project->WriteProject(Path(QStringLiteral("link.qvp")), &error));
    EXPECT_EQ(ProgramFolder::Read(Path(QStringLiteral("real.qvp"))), saved);
}

TEST_F(ProjectManagerTest, UnreadableVersions)
{
    QByteArray v1 = TestFile(QStringLiteral("empty.qvp"));
    v1.replace("*[04]*****", "*[01]*****");
    EXPECT_FALSE(Open(QStringLiteral("v1.qvp"), v1));
    EXPECT_EQ(messages.Shown, QStringList({"Unable to read this version"}));

    messages.Shown.clear();
    for (const QByteArray &line : {QByteArray("*[05]*****"), QByteArray("*[00]*****"), QByteArray("**04"), QByteArray("04")}) {
        QByteArray other = TestFile(QStringLiteral("empty.qvp"));
        other.replace("*[04]*****", line);
        EXPECT_FALSE(Open(QStringLiteral("other.qvp"), other)) << line.constData();
    }
    EXPECT_FALSE(Open(Path(QStringLiteral("missing.qvp"))));
    EXPECT_TRUE(messages.Shown.isEmpty());
}

TEST_F(ProjectManagerTest, RecordsThatCannotBeBoundAreDropped)
{
    ASSERT_TRUE(Open(QStringLiteral("unbound.qvp"), TestFile(QStringLiteral("unbound.qvp"))));
    // The output with application id 7 bound to module 2 of the last application.
    ASSERT_EQ(project->Outputs().size(), 1u);
    EXPECT_EQ(lists->FindModule(project->Applications()[1].get(), 2)->Controls().size(), 1u);
    EXPECT_EQ(lists->FindModule(project->Applications()[0].get(), 2)->Controls().size(), 0u);
    EXPECT_EQ(project->Compose(), TestFile(QStringLiteral("unbound.qvp.expected")));
}

TEST_F(ProjectManagerTest, MissingPicturesGetTheDefaultsWithAMessageEach)
{
    QByteArray file = TestFile(QStringLiteral("two-applications.qvp"));
    const QByteArray first = "KOB ON.ico|C:\\Quelnor\\Default Images\\KOB OFF.ico|Ceiling|";
    ASSERT_TRUE(file.contains(first));
    file.replace(first, "gone on.ico|C:\\Quelnor\\Other\\gone off.ico|Ceiling|");
    ASSERT_TRUE(Open(QStringLiteral("house.qvp"), file));
    const QStringList expected = {
        "File Not Found\nC:\\Quelnor\\Default Images\\gone on.ico\nSet to default image",
        "File Not Found\nC:\\Quelnor\\Other\\gone off.ico\nSet to default image",
    };
    EXPECT_EQ(messages.Shown, expected);
    const TNewVisualOutput r = project->Outputs()[0]->CurrentRecord();
    EXPECT_EQ(TPicturePaths::FromRecord(r.OnPicture), TVisualDefaults::OutputOnPicture(ProgramFolder(), 6, 0));
    EXPECT_EQ(TPicturePaths::FromRecord(r.OffPicture), TVisualDefaults::OutputOffPicture(ProgramFolder(), 6, 0));
    // Pictures stored with another computer's folders were found under this program folder.
    EXPECT_EQ(project->Outputs()[1]->CurrentRecord().OnPicture, "C:\\Quelnor\\Default Images\\KOB ON.ico");
}

TEST_F(ProjectManagerTest, StructuralFailuresAndShortFiles)
{
    const QByteArray file = TestFile(QStringLiteral("two-applications.qvp"));
    struct Row { const char *what; QByteArray content; bool read; bool open; };
    QByteArray noVisualIo = file;
    noVisualIo.replace("EOF Screen\r\nVisual IO\r\n", "EOF Screen\r\nSomething else\r\n");
    const Row rows[] = {
        {"no Visual IO heading", noVisualIo, false, false},
        {"ends inside the screens", file.left(file.indexOf("EOF Screen")), false, false},
        {"no ProjectList", QByteArray(file).replace("ProjectList", "Project List"), false, false},
        {"ends inside the gauges", file.left(file.indexOf("EOF Gauge Item")), false, false},
        {"ends after the Axis Item heading", file.left(file.indexOf("Axis Item") + 11), true, false},
        {"ends after EOF Axis Item", file.left(file.indexOf("Gauge Item")), true, false},
        {"whole", file, true, true},
        {"last line ending in CR alone", file.left(file.size() - 1), true, true},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(Open(QStringLiteral("p.qvp"), row.content), row.read) << row.what;
        EXPECT_EQ(project->IsOpen() && !project->FileName().isEmpty(), row.open) << row.what;
    }
}

TEST_F(ProjectManagerTest, FreeIdsAndScreens)
{
    project = std::make_unique<TProjectManager>(ProgramFolder(), &messages);
    binder = std::make_unique<THeadlessBinder>();
    EXPECT_EQ(project->FreeApplicationId(), 1);
    EXPECT_EQ(project->ApplicationById(1), nullptr);
    TDataFileManager *a = project->NewApplication("a");
    a->Settings().ApplicationId = 1;
    TDataFileManager *b = project->NewApplication("b");
    b->Settings().ApplicationId = 3;
    EXPECT_EQ(project->FreeApplicationId(), 2);
    EXPECT_EQ(std::make_tuple(project->ApplicationById(3), project->ApplicationById(9)), std::make_tuple(b, b));  // 9: none has it, the last one
    EXPECT_TRUE(project->IsOpen());

    for (int i = 0; i < 127; ++i)
        ASSERT_TRUE(project->AddScreen(*binder, nullptr));
    EXPECT_EQ(project->FreeScreenId(), 0);
    EXPECT_EQ(project->AddScreen(*binder, nullptr), nullptr);
    EXPECT_EQ(project->ScreenById(127)->ScreenRecord().Name, "Screen #127");
    EXPECT_EQ(TPicturePaths::FromRecord(project->ScreenById(1)->ScreenRecord().Picture), TVisualDefaults::ScreenBackground(ProgramFolder()));

    project->DeleteScreen(*binder, 5);
    EXPECT_EQ(project->ScreenById(5), nullptr);
    EXPECT_EQ(project->FreeScreenId(), 5);
    EXPECT_EQ(project->AddScreen(*binder, nullptr)->ScreenRecord().ScreenId, 5);

    // A screen's id edited in place is found under its new id only; looked up after the others
    // were, and after screens are reordered, deleted and added again.
    TProjectScreen *seventh = project->ScreenById(7);
    ASSERT_NE(seventh, nullptr);
    EXPECT_EQ(project->ScreenById(8)->ScreenRecord().ScreenId, 8);
    seventh->ScreenRecord().ScreenId = 200;
    EXPECT_EQ(std::make_tuple(project->ScreenById(7), project->ScreenById(200)), std::make_tuple(nullptr, seventh));
    seventh->ScreenRecord().ScreenId = 7;
    EXPECT_EQ(std::make_tuple(project->ScreenById(7), project->ScreenById(200)), std::make_tuple(seventh, nullptr));
    project->PlaceScreen(seventh, 0);
    EXPECT_EQ(project->ScreenById(7), seventh);
    project->DeleteScreen(*binder, 7);
    EXPECT_EQ(project->ScreenById(7), nullptr);
    EXPECT_EQ(project->AddScreen(*binder, nullptr)->ScreenRecord().ScreenId, 7);
    EXPECT_EQ(project->ScreenById(7)->ScreenRecord().ScreenId, 7);
    project->DeleteAllScreens(*binder);
    EXPECT_EQ(std::make_tuple(project->ScreenById(1), project->ScreenById(7)), std::make_tuple(nullptr, nullptr));
    EXPECT_EQ(project->AddScreen(*binder, nullptr)->ScreenRecord().ScreenId, 1);
    EXPECT_NE(project->ScreenById(1), nullptr);
}

TEST_F(ProjectManagerTest, DeletingAScreenTakesEveryControlOnItOutOfTheLists)
{
    ASSERT_TRUE(Open(QStringLiteral("house.qvp"), TestFile(QStringLiteral("two-applications.qvp"))));
    project->DeleteScreen(*binder, 1);
    EXPECT_EQ(std::make_tuple(project->Screens().size(), project->Outputs().size(), project->Shortcuts().size(), project->Memos().size(),
                              project->Variables().size(), project->Gauges().size()),
              std::make_tuple(2u, 2u, 2u, 0u, 1u, 0u));
    EXPECT_TRUE(project->GetModified());
    // The output controls of screen 1 have left their modules too.
    EXPECT_TRUE(lists->FindModule(project->Applications()[0].get(), 2)->Controls().empty());
    const QByteArray saved = project->Compose();
    EXPECT_FALSE(saved.contains("Ceiling|"));
    EXPECT_TRUE(saved.contains("Garage light|"));
}

TEST_F(ProjectManagerTest, ModifiedRules)
{
    struct ChangedItem : TProjectItem<TNewVisualOutput>
    {
        TNewVisualOutput CurrentRecord() override { return {}; }
        quint16 ItemScreenId() const override { return 1; }
        bool IsChanged() const override { return Changed; }
        void ClearChanged() override { Changed = false; }
        bool Changed = false;
    } item;

    project = std::make_unique<TProjectManager>(ProgramFolder(), &messages);
    binder = std::make_unique<THeadlessBinder>();
    EXPECT_FALSE(project->GetModified());
    project->AddScreen(*binder, nullptr);
    EXPECT_TRUE(project->GetModified());
    project->AddItem<TNewVisualOutput>(&item);
    project->ClearModified();
    EXPECT_FALSE(project->GetModified());
    item.Changed = true;  // a control moved
    EXPECT_TRUE(project->GetModified());
    project->ClearModified();
    EXPECT_FALSE(item.Changed);
    project->RemoveItem(&item);
    EXPECT_TRUE(project->GetModified());
}

TEST_F(ProjectManagerTest, SavedNamesGetTheExtensionAndBackupsATimeStamp)
{
    project = std::make_unique<TProjectManager>(ProgramFolder(), &messages);
    const QDateTime when(QDate(2011, 3, 7), QTime(14, 5, 9));
    for (const char *name : {"house.qvp", "house.qvp.qvp"})
        TFileAccess::SaveAtomically(Path(QString::fromLatin1(name)), name);
    ASSERT_TRUE(project->BackupProjectFile(Path(QStringLiteral("house.qvp")), when));
    EXPECT_EQ(ProgramFolder::Read(Path(QStringLiteral("Data/Backup File/house[2011 3 7 - 14 5 9 ].qvp"))), "house.qvp");
    // The part before the first ".qvp" names the copy.
    ASSERT_TRUE(project->BackupProjectFile(Path(QStringLiteral("house.qvp.qvp")), when));
    EXPECT_EQ(ProgramFolder::Read(Path(QStringLiteral("Data/Backup File/house[2011 3 7 - 14 5 9 ].qvp"))), "house.qvp.qvp");
    EXPECT_FALSE(project->BackupProjectFile(Path(QStringLiteral("house.txt")), when));
    EXPECT_FALSE(project->BackupProjectFile(Path(QStringLiteral(".qvp")), when));

    // A name saved without the extension gets it.
    ASSERT_TRUE(project->WriteProject(Path(QStringLiteral("a"))));
    EXPECT_EQ(project->FileName(), Path(QStringLiteral("a.qvp")));
    ASSERT_TRUE(project->WriteProject(Path(QStringLiteral("b.QVP"))));
    EXPECT_EQ(project->FileName(), Path(QStringLiteral("b.QVP.qvp")));
    EXPECT_EQ(ProgramFolder::Read(Path(QStringLiteral("a.qvp"))), TestFile(QStringLiteral("empty.qvp")));
}

TEST_F(ProjectManagerTest, FailedSavesLeaveThePreviousFile)
{
    ASSERT_TRUE(Open(QStringLiteral("house.qvp"), TestFile(QStringLiteral("two-applications.qvp"))));
    QString error;
    EXPECT_FALSE(project->WriteProject(Path(QStringLiteral("no/such/folder/house.qvp")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(project->FileName(), Path(QStringLiteral("house.qvp")));

    // A full disk: the file-size limit stops the write half way.
    const QString previous = Path(QStringLiteral("previous.qvp"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(previous, "the previous project\r\n"));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 512;
    setrlimit(RLIMIT_FSIZE, &small);
    error.clear();
    const bool saved = project->WriteProject(previous, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ProgramFolder::Read(previous), "the previous project\r\n");
    EXPECT_TRUE(QDir(ProgramFolder()).entryList({QStringLiteral(".previous.qvp.*")}, QDir::Files | QDir::Hidden).isEmpty());

    // A folder that cannot be written (root writes everywhere, so only other users see this).
    if (geteuid() == 0)
        return;
    QDir(ProgramFolder()).mkdir(QStringLiteral("locked"));
    const QString locked = Path(QStringLiteral("locked/house.qvp"));
    ASSERT_TRUE(TFileAccess::SaveAtomically(locked, "locked"));
    QFile::setPermissions(Path(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(project->WriteProject(locked, &error));
    QFile::setPermissions(Path(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(ProgramFolder::Read(locked), "locked");
}
