#include "TStreamMessages.h"

#include <QTextStream>

TStreamMessages::TStreamMessages(QTextStream &out)
    : m_out(out)
{
}

void TStreamMessages::ShowMessage(const QString &text)
{
    m_out << text << Qt::endl;
}
