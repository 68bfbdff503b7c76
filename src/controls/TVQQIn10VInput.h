#pragma once

#include "TVQBaseControl.h"

// The icon face of a 0-10 V input: the picture of the first state with a text line that always
// ends with the input percentage the module reports ("??" above 100). The scaled value, the
// digits and the dial come with their own faces; the display type is kept and saved as read.
class TVQQIn10VInput : public TVQBaseControl
{
    Q_OBJECT

public:
    TVQQIn10VInput(QWidget *parent, TVQQModuleBase *module, quint16 ioIndex, TVQControlHost *host);

    void RefreshComponentState() override;
    QString GetLabelText() override;
    int ComputeMaxWidth() override;
    // The value as shown: "55%", "0%" until the first report.
    const QString &ValueText() const { return m_valueText; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_valueText;
};
