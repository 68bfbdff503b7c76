#include "TProjectFile.h"

#include "TDataFileManager.h"
#include "TFieldWriter.h"
#include "TFileAccess.h"

namespace {

struct SectionRow
{
    QByteArrayView heading;
    quint8 version;
    int stars;  // asterisks after the version
    QByteArrayView endLine;
};

// The screen and control sections, in file order, with the versions written.
constexpr SectionRow k_sections[] = {
    {"Screen", 3, 1, "EOF Screen"},
    {"Visual IO", 3, 4, "EOF Visual IO"},
    {"ShortCut", 2, 4, "EOF ShortCut"},
    {"MemoItem", 1, 4, "EOF Memo Item"},
    {"Variable Item", 1, 4, "EOF Variable Item"},
    {"Axis Item", 1, 4, "EOF Axis Item"},
    {"Gauge Item", 1, 4, "EOF Gauge Item"},
};

} // namespace

QByteArray TProjectFile::Header(const std::vector<const TDataFileManager *> &applications)
{
    QByteArray out;
    TFieldWriter w(out);
    w.Line("Version prj").Line(TFieldWriter::VersionLine(ProjectVersion, 5));
    w.Line("ProjectList").Line(TFieldWriter::VersionLine(1, 5));
    for (const TDataFileManager *app : applications)
        w.Raw(app->Name()).Raw("|").Byte(app->Settings().ApplicationId).EndLine();
    w.Line("EOF ProjectFile");
    return out;
}

QByteArray TProjectFile::EmptySections()
{
    QByteArray out;
    TFieldWriter w(out);
    for (const SectionRow &s : k_sections)
        w.Line(s.heading).Line(TFieldWriter::VersionLine(s.version, s.stars)).Line(s.endLine);
    return out;
}

QByteArray TProjectFile::Compose(const std::vector<const TDataFileManager *> &applications)
{
    QByteArray out = Header(applications);
    for (const TDataFileManager *app : applications)
        out += app->DataBlock();
    out += EmptySections();
    return out;
}

bool TProjectFile::Save(const QString &fileName, const QByteArray &content, QString *savedAs, QString *error)
{
    QString path = fileName;
    if (!path.endsWith(QStringLiteral(".qvp")))
        path += QStringLiteral(".qvp");
    if (savedAs)
        *savedAs = path;
    return TFileAccess::SaveAtomically(path, content, error);
}
