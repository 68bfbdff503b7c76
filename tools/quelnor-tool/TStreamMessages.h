#pragma once

#include "UserMessages.h"

class QTextStream;

// Prints every message on a stream, one a line (the tools print them on standard error).
class TStreamMessages : public UserMessages
{
public:
    explicit TStreamMessages(QTextStream &out);
    void ShowMessage(const QString &text) override;

private:
    QTextStream &m_out;
};
