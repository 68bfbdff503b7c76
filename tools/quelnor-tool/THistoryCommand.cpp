#include "THistoryCommand.h"

#include "THistoryStore.h"
#include "ToolArguments.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTextStream>

#include <limits>

THistoryCommand::THistoryCommand(QTextStream &out, QTextStream &err)
    : m_out(out)
    , m_err(err)
{
}

QString THistoryCommand::Usage()
{
    return QStringLiteral("  quelnor-tool history DATABASE [--since ISO] [--until ISO] [--module N] [--kind K] [--csv]\n"
                          "                                       the recorded changes of an installation, oldest first\n");
}

int THistoryCommand::Run(const QStringList &arguments)
{
    const auto fail = [this](const QString &why) {
        m_err << why << "\n" << Usage();
        m_err.flush();
        return 2;
    };
    QString path;
    qint64 since = 0;
    qint64 until = std::numeric_limits<qint64>::max();
    int module = -1;
    QString kind;
    bool csv = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (word == QStringLiteral("--csv")) {
            csv = true;
            continue;
        }
        if (word.startsWith(QStringLiteral("--"))) {
            if (i + 1 >= arguments.size())
                return fail(word + QStringLiteral(" needs a value"));
            const QString value = arguments[++i];
            if (word == QStringLiteral("--since") || word == QStringLiteral("--until")) {
                QDateTime time = QDateTime::fromString(value, Qt::ISODateWithMs);
                if (!time.isValid())
                    return fail(word + QStringLiteral(" takes an ISO 8601 time (2026-12-07T21:00:00Z), not ") + value);
                (word == QStringLiteral("--since") ? since : until) = time.toMSecsSinceEpoch();
            } else if (word == QStringLiteral("--module")) {
                const std::optional<int> number = Number(value, 0, 65535);
                if (!number)
                    return fail(QStringLiteral("--module takes a module number"));
                module = *number;
            } else if (word == QStringLiteral("--kind")) {
                kind = value;
            } else {
                return fail(QStringLiteral("Unknown argument ") + word);
            }
        } else if (path.isEmpty()) {
            path = word;
        } else {
            return fail(QStringLiteral("Unknown argument ") + word);
        }
    }
    if (path.isEmpty())
        return fail(QStringLiteral("Which history?"));
    if (!QFileInfo(path).isFile()) {
        m_err << "No history at " << path << Qt::endl;
        return 1;
    }
    THistoryStore store;
    QString error;
    if (!store.Open(path, error, nullptr, true)) {
        m_err << "Cannot read the history " << path << ": " << error << Qt::endl;
        return 1;
    }
    const std::vector<THistoryRow> rows = store.Rows(since, until, module, kind);
    if (csv) {
        m_out << QString::fromUtf8(THistoryStore::Csv(rows));
        return 0;
    }
    for (const THistoryRow &row : rows) {
        m_out << QDateTime::fromMSecsSinceEpoch(row.Time, Qt::UTC).toString(Qt::ISODateWithMs) << "  " << qSetFieldWidth(9) << Qt::left
              << row.Kind << qSetFieldWidth(0) << (row.Test ? "test " : "") << row.Name << (row.Name.isEmpty() ? "" : "  ") << row.What << " "
              << (row.Text.isEmpty() && row.HasValue ? QString::number(row.Value) : row.Text) << "\n";
    }
    m_out << rows.size() << " rows\n";
    return 0;
}
